#include "app/resident_engine.h"

#include "app/app_context.h"
#include "app/command_line.h"
#include "app/run_report.h"
#include "app/window_commands.h"
#include "os/processes.h"
#include "profiles/engine_thread.h"
#include "profiles/task_queue.h"
#include "scheduler/cron_entry.h"
#include "scheduler/day_restart.h"
#include "scheduler/schedule.h"
#include "settings/save_settings.h"
#include "util/main_thread.h"
#include "zip/zip_task.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Calls then once condition holds, checking every 5 ms on the main thread;
// dropped when owner goes first.
void WhenTrue(QObject* owner, std::function<bool()> condition, std::function<void()> then) {
    if (condition()) {
        then();
        return;
    }
    auto* poll = new QTimer(owner);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll,
                     [poll, condition = std::move(condition), then = std::move(then)] {
                         if (!condition())
                             return;
                         poll->stop();
                         poll->deleteLater();
                         then();
                     });
    poll->start();
}

QByteArray ToolAnswer(const QString& out, const QString& err) {
    QJsonObject answer;
    answer.insert(QStringLiteral("out"), out);
    answer.insert(QStringLiteral("err"), err);
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

constexpr std::uint32_t kToolExitOk = 0, kToolExitRunError = 1, kToolExitUsage = 2, kToolExitFolderHeld = 3,
                        kToolExitInterrupted = 130;

} // namespace

TResidentEngine::TResidentEngine(TAppContext& context, TResidentHooks hooks)
    : fContext(context), fHooks(std::move(hooks)),
      fServer([this](const std::shared_ptr<TInstanceRequest>& request) { HandleRequest(request); }) {
    fDayRestart = std::make_unique<TDayRestart>(
        context.Schedule(),
        TDayRestart::THooks{[this] { fContext.RefreshAllProfileTexts(); }, [this] { DailyWork(); }});
    connect(&context.Events(), &TEngineEvents::queueStateChanged, this,
            [this](bool running, int) { OnQueueState(running); });
    connect(&context.Events(), &TEngineEvents::profileChanged, this, [this](const QString&, const TGL_Profile& row) {
        if (TaskbarAvailable && row.tAction == TTaskStatus::tsRun)
            fProgress->SetProgress(row.iFullProgress);
    });
    context.TaskQueue().OnCloseAfterAll = [this] { RequestQuit(); };
}

TResidentEngine::~TResidentEngine() {
    fServer.Close();
    fContext.TaskQueue().OnCloseAfterAll = nullptr;
    if (TLumo_Crone* entry = fDayRestart->Entry())
        RemoveCron(fContext.Schedule(), *entry);
}

void TResidentEngine::StartAfterLoading() {
    TSchedule& schedule = fContext.Schedule();
    schedule.BeginBoot(fContext.Options.DelayedStart);
    // The loader only makes the entries: the command-line tool's one-off
    // runs load the same schedule and must not fire it.
    schedule.ArmAll(true);
    fDayRestart->CreateDayRestartCron();
    fContext.UpdateAllHaveCron();
    ApplyTaskPriority();
}

void TResidentEngine::FinishStart() {
    UpdateJumpList();
    fContext.Schedule().StartBootTimer();
}

QString TResidentEngine::ChannelName() const { return InstanceChannelName(fContext.Paths().DataFolder); }

bool TResidentEngine::ListenChannel(QString& error) { return fServer.Listen(ChannelName(), error); }

void TResidentEngine::RequestQuit() {
    // Out of the dispatcher or the request handler first.
    QTimer::singleShot(0, this, [this] {
        if (fHooks.Quit)
            fHooks.Quit();
    });
}

void TResidentEngine::ExecuteCommandLine(const QString& text, std::function<void()> done) {
    const TCommandLine command = ParseCommandLine(text);
    TTaskQueue& queue = fContext.TaskQueue();
    if (command.CloseAfterAll)
        queue.CloseAfterAll = true;
    if (command.Close) {
        RequestQuit();
        if (done)
            done();
        return;
    }
    auto queueProfiles = [this, uids = command.ProfileUIDs, done = std::move(done)] {
        TTaskQueue& queue = fContext.TaskQueue();
        for (const QString& uid : uids)
            if (TLumo_BackupProfile* profile = fContext.FindProfileByUID(uid))
                queue.RunTask(*profile, false);
        queue.DispatchTasks();
        if (done)
            done();
    };
    if (!command.AbortAll) {
        queueProfiles();
        return;
    }
    queue.AbortAll();
    WhenTrue(this, [&queue] { return queue.IsEmpty(); }, [&queue, queueProfiles = std::move(queueProfiles)] {
        queue.AbortAllTasks = false;
        queueProfiles();
    });
}

void TResidentEngine::HandleRequest(const std::shared_ptr<TInstanceRequest>& request) {
    if (fShutDown) {
        if (request->Record.Kind == kInstanceCliRuns)
            request->Answer(kToolExitFolderHeld,
                            ToolAnswer({}, QStringLiteral("the running instance is closing; nothing was run\n")));
        else
            request->Answer(0);
        return;
    }
    switch (request->Record.Kind) {
    case kInstanceShow: {
        const bool shown = !(fHooks.EditorOpen && fHooks.EditorOpen()) && fHooks.ShowOrToggle && fHooks.ShowOrToggle();
        request->Answer(shown ? 1 : 0);
        return;
    }
    case kInstanceCommandLine:
        ExecuteCommandLine(QString::fromUtf8(request->Record.Text), [request] { request->Answer(0); });
        return;
    case kInstanceCliRuns: RunForTool(request); return;
    default: request->Answer(0); return;
    }
}

void TResidentEngine::RunForTool(const std::shared_ptr<TInstanceRequest>& request) {
    const QJsonObject ask = QJsonDocument::fromJson(request->Record.Text).object();
    const bool onlyScan = ask.value(QStringLiteral("onlyScan")).toBool();
    const bool entries = ask.value(QStringLiteral("entries")).toBool();
    std::vector<TLumo_BackupProfile*> profiles;
    const QJsonArray uids = ask.value(QStringLiteral("uids")).toArray();
    for (const QJsonValue& value : uids) {
        TLumo_BackupProfile* profile = fContext.FindProfileByUID(value.toString());
        if (!profile) {
            request->Answer(kToolExitUsage,
                            ToolAnswer({}, QStringLiteral("unknown profile UID: %1\n").arg(value.toString())));
            return;
        }
        profiles.push_back(profile);
    }
    if (profiles.empty()) {
        request->Answer(kToolExitUsage, ToolAnswer({}, QStringLiteral("no profile UID given\n")));
        return;
    }
    TTaskQueue& queue = fContext.TaskQueue();
    for (TLumo_BackupProfile* profile : profiles)
        queue.RunTask(*profile, onlyScan);
    auto stopped = std::make_shared<bool>(false);
    // Profiles are found again by UID: one may be deleted while its run is waited for.
    QStringList uidList;
    for (TLumo_BackupProfile* profile : profiles)
        uidList << profile->UID();
    request->OnStop = [this, uidList, stopped] {
        *stopped = true;
        for (const QString& uid : uidList)
            if (TLumo_BackupProfile* profile = fContext.FindProfileByUID(uid))
                fContext.TaskQueue().AbortTask(*profile);
    };
    const auto allEnded = [this, uidList] {
        for (const QString& uid : uidList)
            if (const TLumo_BackupProfile* profile = fContext.FindProfileByUID(uid);
                profile && fContext.TaskQueue().IsBusy(*profile))
                return false;
        return true;
    };
    ++fPendingToolRuns;
    WhenTrue(this, allEnded, [this, request, uidList, entries, stopped] {
        // What the runs changed is on disk before the tool reports, as after a local run.
        fContext.Saver().RunSave();
        WhenTrue(this, [this] { return !fContext.Saver().ActiveNow(); }, [this, request, uidList, entries, stopped] {
            std::vector<TLumo_BackupProfile*> ran;
            for (const QString& uid : uidList)
                if (TLumo_BackupProfile* profile = fContext.FindProfileByUID(uid))
                    ran.push_back(profile);
            bool anyError = false;
            const QString report = RunReport(ran, entries, anyError);
            // Runs stopped because the instance closes count as interrupted, as a stopped local run does.
            const std::uint32_t status = *stopped || fShutDown ? kToolExitInterrupted
                                         : anyError                ? kToolExitRunError
                                                                   : kToolExitOk;
            request->Answer(status, ToolAnswer(report, {}));
            --fPendingToolRuns;
        });
    });
}

void TResidentEngine::SetMainFormHidden(bool hidden) {
    fMainFormHidden = hidden;
    ApplyTaskPriority();
}

void TResidentEngine::ApplyTaskPriority() {
    const bool low = fContext.Options.LowPriorityWhenHiden && fMainFormHidden;
    os::SetProcessLowPriority(low);
    os::SetCurrentThreadLowPriority(low);
    for (const auto& task : fContext.TaskQueue().Tasks())
        if (task->Status() == TTaskStatus::tsRun && task->Thread())
            task->Thread()->SetLowPriority(low);
}

void TResidentEngine::OnQueueState(bool running) {
    if (running)
        ApplyTaskPriority(); // a worker that just started takes the priority of the moment
    else if (TaskbarAvailable)
        fProgress->Reset();
    if (fHooks.TrayAnimation)
        fHooks.TrayAnimation(running);
}

void TResidentEngine::UpdateJumpList() {
    if (!TaskbarAvailable)
        return;
    // Built on the main thread: a consistent view of the profiles at no real cost.
    fJumpList->Publish(BuildJumpList(fContext));
}

void TResidentEngine::DailyWork() {
    // Day-based versions expire while no run happens; a profile whose run is
    // under way is left to that run.
    for (const auto& profile : fContext.Profiles())
        if (TLumo_Zip* zip = profile->Zip(); zip && zip->FVType() != TZipVersion::zvNone &&
                                             !fContext.TaskQueue().IsBusy(*profile))
            zip->FVUpdate(&fContext.Saver());
}

void TResidentEngine::Shutdown() {
    if (fShutDown)
        return;
    fShutDown = true;
    fContext.Schedule().ArmAll(false);
    fContext.AppClosing = true;
    fContext.TaskQueue().Shutdown();
    // The tool runs that were waited for have ended with the queue: their
    // senders get their answers before the channel closes.
    ServeMainThreadWhile([this] { return fPendingToolRuns > 0; });
    QDeadlineTimer flushing(2000);
    ServeMainThreadWhile([this, &flushing] { return fServer.AnswersInFlight() && !flushing.hasExpired(); });
    fServer.Close();
    // The final pass comes after the runs have ended, so what they recorded
    // is written too; nothing can queue a run any more.
    WriteFinalSave(fContext);
}
