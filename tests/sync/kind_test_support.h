#pragma once

// Shared by the sync, zip and folder-zip tests: a context with English texts
// and helpers to write INI text by hand.

#include "app/app_context.h"
#include "ini/ini_document.h"
#include "lang/builtin_tables.h"
#include "profiles/backup_profile.h"
#include "profiles/task_queue.h"
#include "settings/save_settings.h"
#include "util/main_thread.h"

#include "qt_app.h"
#include "test_env.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

// A fresh application context in a sandbox, speaking English.
class KindTest : public ::testing::Test {
protected:
    KindTest() {
        EnsureQtApp();
        ctx = NewContext();
    }

    std::unique_ptr<TAppContext> NewContext() const {
        auto context =
            std::make_unique<TAppContext>(TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"});
        QString name;
        bool local = true;
        SetBuiltinEnglish(context->Language, name, local);
        return context;
    }

    std::deque<TSaveTask> Requests() const { return ctx->Saver().WaitingRequests(); }

    // Queues a run of the profile (forced for list when given) and serves the
    // main thread until the queue is empty, calling whileRunning on every
    // turn. A run that has not ended after two minutes fails the test and is stopped.
    void RunQueued(TLumo_BackupProfile& profile, bool onlyScan = false,
                   const std::optional<QStringList>& list = std::nullopt,
                   const std::function<void()>& whileRunning = {}) {
        TTaskQueue& queue = ctx->TaskQueue();
        queue.RunTask(profile, onlyScan, list);
        QElapsedTimer clock;
        clock.start();
        ServeMainThreadWhile([&] {
            if (queue.IsEmpty())
                return false;
            if (clock.elapsed() > 120000) {
                ADD_FAILURE() << "the run did not end";
                queue.AbortAll();
                return false;
            }
            if (whileRunning)
                whileRunning();
            return true;
        });
    }

    // Runs the save pass and reads the Backup.ini it wrote (empty when there is none).
    IniDocument SavedSettings() const {
        ctx->Saver().RunSaveAndWait();
        QFile file(ctx->Paths().SettingsFile());
        return IniDocument::FromBytes(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    }

    TestSandbox sandbox;
    std::unique_ptr<TAppContext> ctx;
};

// The bytes of an INI file as the program writes it: byte-order mark, each
// line ended by CR LF.
inline QByteArray IniBytes(std::initializer_list<const char*> lines) {
    QByteArray bytes("\xEF\xBB\xBF");
    for (const char* line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

// Every name in folder, sorted (not recursive), hidden ones included.
inline QStringList NamesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

inline IniDocument IniOf(std::initializer_list<const char*> lines) { return IniDocument::FromBytes(IniBytes(lines)); }
