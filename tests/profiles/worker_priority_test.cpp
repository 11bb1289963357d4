// A worker asked for the lowest priority while it runs (the main window was
// hidden) takes it up itself, whatever the kind of run: the main thread cannot
// change another thread's priority.

#include "../sync/kind_test_support.h"

#include "app/settings_loader.h"
#include "profiles/engine_thread.h"
#include "scripts/script_list.h"

#include <QDir>

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

int CurrentThreadNice() { return ::getpriority(PRIO_PROCESS, static_cast<id_t>(::gettid())); }

// The highest niceness among the threads of this process.
int HighestThreadNice() {
    int highest = -100;
    for (const QString& tid : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!stat.open(QIODevice::ReadOnly))
            continue; // the thread has ended meanwhile
        const QByteArray text = stat.readAll();
        // The fields after the command name, which may itself hold blanks: state is field 3, nice field 19.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 16)
            highest = std::max(highest, fields[16].toInt());
    }
    return highest;
}

TLumo_ProfileScript Pause(int seconds) {
    TLumo_ProfileScript pause(TActionType::taPause);
    pause.AddValue(QStringLiteral("Pause"), QString::number(seconds));
    return pause;
}

struct KindCase {
    const char* name;
    const char* ini; // %1: the sandbox
};

const KindCase kKinds[] = {
    {"sync", "[SyncList]\nSNK202401010000000001=Sync\n[SNK202401010000000001_st]\nCheckType=0\n"
             "[SNK202401010000000001]\nf1_1=%1/src/\nf2_1=%1/out/\n"},
    {"archive", "[ZipList]\nZIP202401010000000001=Zip\n[ZIP202401010000000001_st]\nFilename=Backup.zip\n"
                "Folder=%1/out/\nCompression=6\n[ZIP202401010000000001]\nf_1=%1/src/\ni_1=1\n"},
    {"folder archive", "[ZipFolderList]\nFZP202401010000000001=Folders\n[FZP202401010000000001_st]\n"
                       "FolderZip=%1/src/\nSaveTo=%1/out/\nCompression=6\n"},
};

class WorkerPriority : public KindTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(WorkerPriority, AWorkerAskedToYieldWhileRunningLowersItselfAndNotTheMainThread) {
    const int start = CurrentThreadNice();
    if (start >= 19)
        GTEST_SKIP() << "the suite already runs at the lowest priority";
    for (int i = 0; i < 20; ++i)
        sandbox.writeFile(QStringLiteral("src/sub%1/file%2.txt").arg(i % 3).arg(i), QByteArray(1000, 'x'));
    QDir().mkpath(sandbox.file("out"));
    sandbox.writeFile("data/Backup.ini", QString::fromLatin1(GetParam().ini).arg(sandbox.path()).toUtf8());
    LoadAllSettings(*ctx);
    ASSERT_EQ(ctx->Profiles().size(), 1u);
    TLumo_BackupProfile& profile = *ctx->Profiles().front();
    // The wish comes while the before-script waits; the after-script's pause
    // leaves time to see the worker's priority from here.
    profile.SetScriptLists({Pause(1)}, {Pause(1)}, false);

    bool asked = false;
    int seen = -100;
    QElapsedTimer running;
    RunQueued(profile, false, std::nullopt, [&] {
        TTaskQueue& queue = ctx->TaskQueue();
        const bool workerRuns =
            !queue.IsEmpty() && queue.First()->Status() == TTaskStatus::tsRun && queue.First()->Thread();
        if (!asked && workerRuns) {
            if (!running.isValid()) {
                running.start();
            } else if (running.elapsed() > 300) {
                // Well inside the before-script's pause: the worker has passed its first look at the wish.
                queue.First()->Thread()->SetLowPriority(true);
                asked = true;
            }
        }
        if (asked)
            seen = std::max(seen, HighestThreadNice());
    });
    ASSERT_TRUE(asked);
    EXPECT_GT(seen, start);
    EXPECT_EQ(CurrentThreadNice(), start);
    EXPECT_FALSE(QDir(sandbox.file("out")).isEmpty()) << "the run did its work";
}

INSTANTIATE_TEST_SUITE_P(EveryKind, WorkerPriority, ::testing::ValuesIn(kKinds),
                         [](const auto& info) {
                             std::string name;
                             for (const char c : std::string(info.param.name))
                                 if (c != ' ')
                                     name += c;
                             return name;
                         });

} // namespace
