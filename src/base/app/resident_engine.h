#pragma once

#include "app/instance_channel.h"
#include "app/taskbar.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class TAppContext;
class TDayRestart;
struct TCommandLine;

// What the resident engine asks of the windows, or of their absence in the
// command-line tool's serve.
struct TResidentHooks {
    // A later start without parameters: act as a click on the tray icon;
    // true when that showed the main window.
    std::function<bool()> ShowOrToggle;
    // The scheduler window or the profile editor is open.
    std::function<bool()> EditorOpen;
    // Ends the program: the main window closes, serve leaves its loop.
    // Called from the event loop, never from inside the queue.
    std::function<void()> Quit;
    // The tray icon animates while a run is under way.
    std::function<void(bool running)> TrayAnimation;
};

// The engine of a running instance, shared by the desktop program and the
// command-line tool's serve: the schedule with its day restart and delayed
// start, the instance channel and the command handler, process and worker
// priority, the jump list and taskbar progress. Main thread.
class TResidentEngine : public QObject {
    Q_OBJECT
public:
    TResidentEngine(TAppContext& context, TResidentHooks hooks);
    ~TResidentEngine() override;

    // After the settings were loaded: marks the boot (with the delayed-start
    // option), arms the schedule, creates the day-restart entry, recomputes the
    // schedule marks and applies the process priority.
    void StartAfterLoading();
    // At the end of the start: rebuilds the jump list and starts the 5-second
    // delayed-start period.
    void FinishStart();

    // Listens on the channel of the context's data folder. The caller holds
    // the data folder's lock.
    bool ListenChannel(QString& error);
    QString ChannelName() const;

    // The command handler: obeys the switches of a command text; done runs
    // when it has (for "/ABORTALL", once the stopped run has ended).
    void ExecuteCommandLine(const QString& text, std::function<void()> done = {});
    // One request that came over the channel.
    void HandleRequest(const std::shared_ptr<TInstanceRequest>& request);

    bool MainFormHidden() const { return fMainFormHidden; }
    // The main window was hidden or shown: the priorities follow.
    void SetMainFormHidden(bool hidden);
    // Process, main thread and running worker: lowest while the main window
    // is hidden and the option asks for it, normal otherwise.
    void ApplyTaskPriority();

    bool TaskbarAvailable = false;
    void SetJumpListPublisher(IJumpListPublisher* publisher) { fJumpList = publisher ? publisher : &fNoJumpList; }
    void SetTaskbarProgress(ITaskbarProgress* progress) { fProgress = progress ? progress : &fNoProgress; }
    // After a profile was added, edited or deleted and after a change of language.
    void UpdateJumpList();

    // The end of a running instance: no more requests or firings, every run
    // stopped (as Stop does) and ended, then the final save pass.
    void Shutdown();

    TDayRestart& DayRestart() { return *fDayRestart; }

private:
    void RunForTool(const std::shared_ptr<TInstanceRequest>& request);
    void OnQueueState(bool running);
    void DailyWork();
    void RequestQuit();

    TAppContext& fContext;
    TResidentHooks fHooks;
    std::unique_ptr<TDayRestart> fDayRestart;
    TInstanceServer fServer;
    bool fMainFormHidden = true;
    bool fShutDown = false;
    // Tool runs waiting for their answer.
    int fPendingToolRuns = 0;
    TNoJumpList fNoJumpList;
    TNoTaskbarProgress fNoProgress;
    IJumpListPublisher* fJumpList = &fNoJumpList;
    ITaskbarProgress* fProgress = &fNoProgress;
};
