#pragma once

// Sync runs on real folders of the sandbox: a profile over one or more pairs,
// run through the task queue and waited for while serving the main thread.

#include "kind_test_support.h"

#include "profiles/backup_profile.h"
#include "profiles/task_queue.h"
#include "sync/sync_task.h"
#include "sync/sync_thread.h"
#include "util/main_thread.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <map>

class SyncRunTest : public KindTest {
protected:
    SyncRunTest() {
        RegisterSyncEngine(ctx->TaskQueue());
        QDir().mkpath(src());
        QDir().mkpath(dst());
    }

    QString src() const { return sandbox.path() + "/src/"; }
    QString dst() const { return sandbox.path() + "/dst/"; }

    // A sync profile with one pair src -> dst unless pairs are given.
    TLumo_Sync& MakeSync(TSyncSettings settings = {}) {
        if (settings.nValueList.isEmpty())
            settings.nValueList << src() << dst();
        settings.nTitle = "Test";
        settings.nDeleteToRecycle = settings.nDeleteToRecycle && useTrash;
        TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
        sync.ApplyNewSettings(settings, false);
        return sync;
    }

    void RunAndWait(TLumo_Sync& sync, bool onlyScan) {
        ctx->TaskQueue().RunTask(*sync.Profile(), onlyScan);
        ServeMainThreadWhile([&] { return !ctx->TaskQueue().IsEmpty(); });
    }

    // Relative path -> status text of the entries left in the result list.
    static std::map<QString, TLumo_FileStatus> Entries(const TLumo_Sync& sync) {
        std::map<QString, TLumo_FileStatus> result;
        for (const auto& element : sync.ResultElements())
            result[element->SepPath] = element->Status;
        return result;
    }

    static void Write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // Sets the last-write time to seconds + milliseconds after 2020-01-01 UTC.
    static void SetTime(const QString& path, qint64 milliseconds) {
        const qint64 base = 1577836800LL * 1000;
        timespec times[2];
        times[0].tv_sec = times[1].tv_sec = static_cast<time_t>((base + milliseconds) / 1000);
        times[0].tv_nsec = times[1].tv_nsec = static_cast<long>((base + milliseconds) % 1000) * 1000000;
        ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    }

    static qint64 ModifiedNs(const QString& path) {
        struct stat st {};
        if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
            return -1;
        return static_cast<qint64>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }

    static QByteArray LinkText(const QString& path) {
        char buffer[4096];
        const ssize_t n = ::readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer);
        return n < 0 ? QByteArray("<no link>") : QByteArray(buffer, static_cast<int>(n));
    }

    static QStringList FilesBelow(const QString& folder) {
        QStringList names;
        QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names << QDir(folder).relativeFilePath(it.next());
        names.sort();
        return names;
    }

    bool useTrash = false;
};
