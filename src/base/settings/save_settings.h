#pragma once

#include "settings/save_types.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class IniDocument;
class TSaveThread;

// What the store needs from the program that owns it; the values it writes
// live above this layer.
struct TSaveHooks {
    // False while no pass may start: the program is closing, or its settings
    // file is being restored or reset. Unset: a pass may always start.
    std::function<bool()> PassAllowed;
    // Applies one request to the file in memory with the values the objects
    // hold now. Called on the main thread.
    std::function<void(IniDocument& ini, const TSaveTask& task)> ApplyRequest;
};

// The one settings store: the queue of save requests and the passes that
// apply them to Backup.ini. Lives on the main thread.
//
// A pass runs on its own thread. It loads the file, applies the waiting
// requests one by one and replaces the file atomically. Each request is applied
// by a synchronous call on the main thread, so the values come from the live
// objects without any lock on them; only the queue itself is shared.
class TSaveSettings : public QObject {
    Q_OBJECT
public:
    static constexpr int kSaveIntervalMs = 120000;

    // dataFolder ends with the path separator; settingsFile is the file in it.
    TSaveSettings(QString dataFolder, QString settingsFile, TSaveHooks hooks);
    // Stops the timer and drops the waiting requests; waits (serving the main
    // thread's calls) for a pass that is still running.
    ~TSaveSettings() override;

    // Posts a request unless one with the same type and UID is waiting.
    void AddNewTask(TSaveSetType type, const QString& uid = {});
    // Starts a pass when one may start.
    void RunSave();
    // A pass is running.
    bool ActiveNow() const { return fActiveNow; }
    // Serves the main thread's event queue in 5 ms steps until no pass runs.
    void WaitWhileActive();
    // RunSave, then WaitWhileActive: the pass at close.
    void RunSaveAndWait();

    // The waiting requests, oldest first.
    std::deque<TSaveTask> WaitingRequests() const;

    // The profile order read from "Main".
    QStringList fPosition;

signals:
    void PassFinished(bool written);

private:
    friend class TSaveThread;
    void ApplyRequest(IniDocument& ini, const TSaveTask& task) const {
        if (fHooks.ApplyRequest)
            fHooks.ApplyRequest(ini, task);
    }
    bool TakeFirst(TSaveTask& task);
    void PutBack(const std::vector<TSaveTask>& taken);
    void DropAll();
    void OnPassEnded();

    const QString fDataFolder;
    const QString fSettingsFile;
    const TSaveHooks fHooks;
    QTimer fTimer;
    // A standard mutex rather than QMutex: the race detector sees its
    // hand-offs, which happen inside uninstrumented Qt for a contended QMutex.
    mutable std::mutex fLock;
    std::deque<TSaveTask> fTasksList;
    // The requests of fTasksList, for the duplicate check when one is posted.
    QSet<TSaveTask> fWaiting;
    bool fActiveNow = false;
    std::unique_ptr<TSaveThread> fThread;
};
