#include "settings/save_thread.h"

#include "ini/ini_document.h"
#include "os/platform.h"
#include "settings/save_settings.h"
#include "util/main_thread.h"
#include "util/tsan_annotations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

TSaveThread::TSaveThread(TSaveSettings& store, QString dataFolder, QString settingsFile)
    : fStore(store), fDataFolder(std::move(dataFolder)), fSettingsFile(std::move(settingsFile)) {}

void TSaveThread::RemoveStaleTemporaryFiles() const {
    // Only one pass writes at a time, so a temporary file that exists now was
    // left by a pass that was killed before its rename.
    const QFileInfo target(fSettingsFile);
    QDir folder = target.absoluteDir();
    const QStringList stale = folder.entryList({target.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : stale)
        folder.remove(name);
}

void TSaveThread::run() {
    fWritten = WritePass();
    NORVANE_HAND_OVER(static_cast<QThread*>(this));
}

bool TSaveThread::WritePass() {
    if (!QFileInfo(fDataFolder).isDir()) {
        // A folder made now is written to by the next pass; one that cannot be
        // made takes every waiting request with it.
        if (!QDir().mkpath(fDataFolder))
            fStore.DropAll();
        return false;
    }

    IniDocument ini;
    QFile file(fSettingsFile);
    if (file.exists()) {
        if (!file.open(QIODevice::ReadOnly))
            return false; // the requests wait for the next pass
        ini = IniDocument::FromBytes(file.readAll());
        file.close();
    }

    std::vector<TSaveTask> taken;
    TSaveTask task;
    while (fStore.TakeFirst(task)) {
        taken.push_back(task);
        RunOnMainThread([&] { fStore.ApplyRequest(ini, task); });
    }
    if (taken.empty())
        return false;

    RemoveStaleTemporaryFiles();
    const QByteArray bytes = ini.ToBytes();
    std::string error;
    if (!os::WriteFileAtomically(QFile::encodeName(fSettingsFile).toStdString(),
                                 std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), error)) {
        // Nothing was written: the requests go back so the next pass retries
        // them with the values of that moment.
        fStore.PutBack(taken);
        return false;
    }
    return true;
}
