#include "cli/cli_runs.h"

#include "app/app_context.h"
#include "app/run_report.h"
#include "cli/cli_commands.h"
#include "profiles/profile_texts.h"
#include "profiles/task_queue.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/native_path.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

// One line on stderr, redrawn in place: the running profile's overall
// progress and status, as the engine's row values report them.
class TProgressBar {
public:
    TProgressBar(bool enabled, TEngineEvents& events) : fEnabled(enabled) {
        fSinceDraw.start();
        if (fEnabled)
            QObject::connect(&events, &TEngineEvents::profileChanged, &fReceiver,
                             [this](const QString& uid, const TGL_Profile& row) { Take(uid, row); });
    }
    ~TProgressBar() { Clear(); }
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;

    void Draw() {
        if (!fEnabled || !fRunning || fSinceDraw.elapsed() < 100)
            return;
        fSinceDraw.restart();
        const TGL_Profile& values = *fRunning;
        const int percent = values.iFullProgress;
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        const QByteArray title = values.txtTitle.left(30).toUtf8();
        const QByteArray status = values.txtStatus.left(40).toUtf8();
        std::fprintf(stderr, "\r\033[K[%s%s] %3d%% %s  %s", QByteArray(filled, '#').constData(),
                     QByteArray(kWidth - filled, ' ').constData(), percent, title.constData(), status.constData());
        std::fflush(stderr);
        fDrawn = true;
    }

    void Clear() {
        if (fDrawn) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
            fDrawn = false;
        }
    }

private:
    void Take(const QString& uid, const TGL_Profile& row) {
        if (row.tAction == TTaskStatus::tsRun)
            fRunning = row;
        else if (fRunning && fRunning->sUID == uid)
            fRunning.reset();
    }

    bool fEnabled;
    bool fDrawn = false;
    QElapsedTimer fSinceDraw;
    std::optional<TGL_Profile> fRunning;
    QObject fReceiver;
};

} // namespace

int CommandRuns(TAppContext& context, const QStringList& uids, bool onlyScan, bool entries,
                const std::atomic<bool>& stopRequested, QTextStream& out, QTextStream& err) {
    std::vector<TLumo_BackupProfile*> profiles;
    for (const QString& uid : uids) {
        TLumo_BackupProfile* profile = context.FindProfileByUID(uid);
        if (!profile) {
            err << "unknown profile UID: " << uid << '\n';
            return kExitUsage;
        }
        profiles.push_back(profile);
    }

    TTaskQueue& queue = context.TaskQueue();
    for (TLumo_BackupProfile* profile : profiles)
        queue.RunTask(*profile, onlyScan);

    // An event loop rather than a polling wait: the worker's synchronous calls
    // are served the moment they arrive, which a run of many small files needs.
    bool stopped = false;
    {
        TProgressBar bar(::isatty(STDERR_FILENO) == 1, context.Events());
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!stopped && stopRequested.load()) {
                stopped = true;
                queue.AbortAll();
            }
            bar.Draw();
            if (queue.IsEmpty())
                loop.quit();
        });
        poll.start();
        if (!queue.IsEmpty())
            loop.exec();
    }
    context.Saver().RunSaveAndWait();

    bool anyError = false;
    out << RunReport(profiles, entries, anyError);
    if (stopped)
        return kExitInterrupted;
    return anyError ? kExitRunError : kExitOk;
}
