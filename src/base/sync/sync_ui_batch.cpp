#include "sync/sync_ui_batch.h"

#include "app/app_context.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"
#include "util/text_format.h"

#include <QCoreApplication>

namespace {

constexpr qint64 kBatchIntervalMs = 40;

} // namespace

void TSyncUiBatch::AddResult(std::unique_ptr<TSyncFileElement> element) {
    TSyncFileElement* raw = element.get();
    Push(TOp{TOp::TKind::Add, raw, std::move(element)});
}

void TSyncUiBatch::RemoveRow(TSyncFileElement& element) { Push(TOp{TOp::TKind::Remove, &element, nullptr}); }

void TSyncUiBatch::RefreshRow(TSyncFileElement& element) { Push(TOp{TOp::TKind::Refresh, &element, nullptr}); }

void TSyncUiBatch::Progress(quint8 progress, quint8 progressFull, TSyncFileElement* now) {
    // Only the latest progress counts when several follow each other.
    if (!fOps.empty() && fOps.back().kind == TOp::TKind::Progress && fOps.back().element == now) {
        fOps.back().progress = progress;
        fOps.back().progressFull = progressFull;
    } else {
        fOps.push_back(TOp{TOp::TKind::Progress, now, nullptr, progress, progressFull});
    }
    if (fSinceFlush.elapsed() >= kBatchIntervalMs)
        Flush();
}

void TSyncUiBatch::Push(TOp op) {
    fOps.push_back(std::move(op));
    if (fSinceFlush.elapsed() >= kBatchIntervalMs)
        Flush();
}

void TSyncUiBatch::Flush() {
    fSinceFlush.restart();
    if (fOps.empty())
        return;
    auto ops = std::make_shared<std::vector<TOp>>(std::move(fOps));
    fOps.clear();
    TLumo_Sync& task = fTask;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || IsMainThread()) {
        Apply(task, *ops);
        return;
    }
    QMetaObject::invokeMethod(app, [&task, ops] { Apply(task, *ops); }, Qt::QueuedConnection);
}

void TSyncUiBatch::Apply(TLumo_Sync& task, std::vector<TOp>& ops) {
    const bool closing = task.fLumoBackup && task.fLumoBackup->Context().AppClosing;
    ISyncResultView* view = closing ? nullptr : task.fForm;
    for (TOp& op : ops) {
        switch (op.kind) {
        case TOp::TKind::Add: {
            if (!op.owned->IsFolder)
                op.owned->SizeText = SizeToText(op.owned->Size);
            TSyncFileElement& element = task.fResultElements.Append(std::move(op.owned));
            if (task.fForm)
                task.fForm->AddNew(element);
            break;
        }
        case TOp::TKind::Remove:
            if (view)
                view->RemoveNode(*op.element);
            op.element->Node = nullptr;
            task.fResultElements.Take(*op.element);
            break;
        case TOp::TKind::Refresh:
            if (view)
                view->UpdateNode(*op.element);
            break;
        case TOp::TKind::Progress:
            if (task.fProgress != op.progress || task.fProgressFull != op.progressFull) {
                task.fProgress = op.progress;
                task.fProgressFull = op.progressFull;
                task.UpdateProgress();
                if (view && op.element)
                    view->UpdateNode(*op.element);
            }
            break;
        }
    }
}
