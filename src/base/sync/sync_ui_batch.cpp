#include "sync/sync_ui_batch.h"

#include "profiles/backup_profile.h"
#include "profiles/engine_events.h"
#include "profiles/engine_services.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"


namespace {

constexpr qint64 kBatchIntervalMs = 40;

TResultRow RowOf(const TSyncFileElement& element) {
    return TResultRow{element.ResultId, element.SepPath, element.IsFolder, element.Status, element.Size,
                      element.Error};
}

// The row events of one batch: consecutive ones of a kind go out as one list,
// all in the order they were made. Nothing goes out without events.
class TRowEvents {
public:
    TRowEvents(TEngineEvents* events, QString uid) : fEvents(events), fUID(std::move(uid)) {}
    ~TRowEvents() { Send(); }
    TRowEvents(const TRowEvents&) = delete;
    TRowEvents& operator=(const TRowEvents&) = delete;

    void Added(const TSyncFileElement& element) {
        if (Switch(TKind::Added))
            fRows << RowOf(element);
    }
    void Changed(const TSyncFileElement& element) {
        if (Switch(TKind::Changed))
            fRows << RowOf(element);
    }
    void Removed(quint32 id) {
        if (Switch(TKind::Removed))
            fIds << id;
    }
    // Sends what is collected, before an event that must come after it.
    void Send() {
        switch (fKind) {
        case TKind::Added: emit fEvents->resultRowsAdded(fUID, fRows); break;
        case TKind::Changed: emit fEvents->resultRowsChanged(fUID, fRows); break;
        case TKind::Removed: emit fEvents->resultRowsRemoved(fUID, fIds); break;
        case TKind::None: break;
        }
        fRows.clear();
        fIds.clear();
        fKind = TKind::None;
    }

private:
    enum class TKind { None, Added, Changed, Removed };

    bool Switch(TKind kind) {
        if (!fEvents)
            return false;
        if (kind != fKind) {
            Send();
            fKind = kind;
        }
        return true;
    }

    TEngineEvents* fEvents;
    QString fUID;
    TKind fKind = TKind::None;
    QList<TResultRow> fRows;
    QList<quint32> fIds;
};

} // namespace

TSyncUiBatch::TSyncUiBatch(TLumo_Sync& task) : fTask(task), fListed(std::make_shared<TListed>()) {
    fSinceFlush.start();
}

void TSyncUiBatch::AddResult(TSyncFileElement& element) {
    element.ResultId = ++fLastId;
    auto copy = std::make_unique<TSyncFileElement>(element);
    // The pair belongs to the run; the copy may stay listed after the run.
    copy->SyncEl = nullptr;
    Push(TOp{TOp::TKind::Add, element.ResultId, std::move(copy)});
}

void TSyncUiBatch::RemoveRow(const TSyncFileElement& element) {
    Push(TOp{TOp::TKind::Remove, element.ResultId, nullptr});
}

void TSyncUiBatch::RefreshRow(const TSyncFileElement& element) {
    Push(TOp{TOp::TKind::Refresh, element.ResultId, nullptr, element.Status, element.Error});
}

void TSyncUiBatch::Progress(quint8 progress, quint8 progressFull, const TSyncFileElement* now) {
    const quint32 id = now ? now->ResultId : 0;
    // Only the latest progress counts when several follow each other.
    if (!fOps.empty() && fOps.back().kind == TOp::TKind::Progress && fOps.back().id == id) {
        fOps.back().progress = progress;
        fOps.back().progressFull = progressFull;
    } else {
        fOps.push_back(TOp{TOp::TKind::Progress, id, nullptr, TLumo_FileStatus::flsNone, false, progress, progressFull});
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
    std::shared_ptr<TListed> listed = fListed;
    // The call alone owns the operations from here on, so they are released on
    // the main thread that used them last.
    PostToMainThread([&task, listed, ops = std::move(ops)] { Apply(task, *listed, *ops); });
}

void TSyncUiBatch::Apply(TLumo_Sync& task, TListed& listed, std::vector<TOp>& ops) {
    TEngineServices* context = task.fLumoBackup ? &task.fLumoBackup->Context() : nullptr;
    TRowEvents rows(context && !context->AppClosing ? &context->Events() : nullptr, task.UID());
    for (TOp& op : ops) {
        TSyncFileElement* element = op.kind == TOp::TKind::Add ? nullptr : listed.value(op.id, nullptr);
        switch (op.kind) {
        case TOp::TKind::Add: {
            TSyncFileElement& added = task.fResultElements.Append(std::move(op.copy));
            listed.insert(op.id, &added);
            rows.Added(added);
            break;
        }
        case TOp::TKind::Remove:
            if (!element)
                break;
            rows.Removed(op.id);
            listed.remove(op.id);
            task.fResultElements.Take(*element);
            break;
        case TOp::TKind::Refresh:
            if (!element)
                break;
            element->Status = op.status;
            element->Error = op.error;
            rows.Changed(*element);
            break;
        case TOp::TKind::Progress:
            if (task.fProgress != op.progress || task.fProgressFull != op.progressFull) {
                task.fProgress = op.progress;
                task.fProgressFull = op.progressFull;
                rows.Send();
                task.UpdateProgress();
                if (element)
                    rows.Changed(*element);
            }
            break;
        }
    }
}
