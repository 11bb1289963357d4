#include "settings/save_settings.h"

#include "settings/save_thread.h"
#include "util/main_thread.h"
#include "util/tsan_annotations.h"

#include <QThread>

TSaveSettings::TSaveSettings(QString dataFolder, QString settingsFile, TSaveHooks hooks)
    : fDataFolder(std::move(dataFolder)), fSettingsFile(std::move(settingsFile)), fHooks(std::move(hooks)) {
    fTimer.setInterval(kSaveIntervalMs);
    connect(&fTimer, &QTimer::timeout, this, &TSaveSettings::RunSave);
    fTimer.start();
}

TSaveSettings::~TSaveSettings() {
    fTimer.stop();
    DropAll();
    WaitWhileActive();
}

void TSaveSettings::AddNewTask(TSaveSetType type, const QString& uid) {
    const TSaveTask task{type, uid};
    const std::lock_guard<std::mutex> lock(fLock);
    if (!fWaiting.contains(task)) {
        fWaiting.insert(task);
        fTasksList.push_back(task);
    }
}

void TSaveSettings::RunSave() {
    if (fActiveNow || (fHooks.PassAllowed && !fHooks.PassAllowed()))
        return;
    {
        const std::lock_guard<std::mutex> lock(fLock);
        if (fTasksList.empty())
            return;
    }
    fActiveNow = true;
    fThread = std::make_unique<TSaveThread>(*this, fDataFolder, fSettingsFile);
    // Posted from the ending thread rather than through a queued connection,
    // which would read the thread object after the end the race detector sees.
    TSaveThread* pass = fThread.get();
    connect(
        pass, &QThread::finished, pass,
        [this, pass] {
            PostToMainThread([this] { OnPassEnded(); }, this);
            NORVANE_HAND_OVER(static_cast<QThread*>(pass));
        },
        Qt::DirectConnection);
    fThread->start();
}

void TSaveSettings::OnPassEnded() {
    // The pass has returned; wait() only lets the thread wind down.
    fThread->wait();
    NORVANE_HANDED_OVER(static_cast<QThread*>(fThread.get()));
    const bool written = fThread->Written();
    fThread.reset();
    fActiveNow = false;
    emit PassFinished(written);
}

void TSaveSettings::WaitWhileActive() {
    ServeMainThreadWhile([this] { return fActiveNow; });
}

void TSaveSettings::RunSaveAndWait() {
    RunSave();
    WaitWhileActive();
}

std::deque<TSaveTask> TSaveSettings::WaitingRequests() const {
    const std::lock_guard<std::mutex> lock(fLock);
    return fTasksList;
}

bool TSaveSettings::TakeFirst(TSaveTask& task) {
    const std::lock_guard<std::mutex> lock(fLock);
    if (fTasksList.empty())
        return false;
    task = fTasksList.front();
    fTasksList.pop_front();
    fWaiting.remove(task);
    return true;
}

void TSaveSettings::PutBack(const std::vector<TSaveTask>& taken) {
    const std::lock_guard<std::mutex> lock(fLock);
    std::deque<TSaveTask> merged;
    QSet<TSaveTask> placed;
    auto add = [&merged, &placed](const TSaveTask& t) {
        if (!placed.contains(t)) {
            placed.insert(t);
            merged.push_back(t);
        }
    };
    std::for_each(taken.begin(), taken.end(), add);
    std::for_each(fTasksList.begin(), fTasksList.end(), add);
    fTasksList = std::move(merged);
    fWaiting = std::move(placed);
}

void TSaveSettings::DropAll() {
    const std::lock_guard<std::mutex> lock(fLock);
    fTasksList.clear();
    fWaiting.clear();
}
