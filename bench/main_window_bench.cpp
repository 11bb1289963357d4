// The main window with many profiles and a large sync run, against peers
// measured in the same run:
//   1. 1,000 profiles: the window shown after the settings are loaded
//      (target under 0.5 s), and the load itself for scale;
//   2. scrolling the list: rows painted per step against the rows visible;
//   3. a sync of 20,000 files with the window following its row, against the
//      command-line tool on the same tree (target: within 5 %).
// Usage: main_window_bench CLI_PATH [files]

#include "app/app_context.h"
#include "app/settings_loader.h"
#include "profiles/task_queue.h"
#include "gui/app/main_window.h"
#include "gui/app/profile_list_model.h"
#include "gui/app/profile_list_view.h"
#include "gui/app/profile_row_delegate.h"
#include "lang/builtin_tables.h"
#include "profiles/engine_events.h"
#include "sync/sync_task.h"

#include "settings_fixture.h"
#include "test_env.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class TCountingDelegate : public TProfileRowDelegate {
public:
    using TProfileRowDelegate::TProfileRowDelegate;
    void paint(QPainter* p, const QStyleOptionViewItem& o, const QModelIndex& i) const override {
        ++Painted;
        TProfileRowDelegate::paint(p, o, i);
    }
    mutable int Painted = 0;
};

void ManyProfiles() {
    TestSandbox sandbox;
    const QString data = sandbox.path() + "/data/";
    QDir().mkpath(data);
    const TSettingsFixture fixture = MakeSettingsFixture(1000);
    QFile file(data + "Backup.ini");
    if (!file.open(QIODevice::WriteOnly) || file.write(fixture.Bytes) != fixture.Bytes.size()) {
        std::fprintf(stderr, "cannot write the fixture\n");
        return;
    }
    file.close();
    TAppContext context(TAppPaths{data, sandbox.path() + "/Lang/"});
    context.Options.LowPriorityWhenHiden = false;
    QElapsedTimer timer;
    timer.start();
    LoadAllSettings(context);
    const qint64 loadNs = timer.nsecsElapsed();
    timer.restart();
    TfrmMain window(context, TMainWindowStart{});
    window.show();
    QTest::qWaitForWindowExposed(&window);
    QApplication::processEvents();
    const qint64 showNs = timer.nsecsElapsed();
    std::printf("1000 profiles: load %.3f s, window shown %.3f s after the load (target < 0.5 s), ratio show/load %.2f, rows %d\n",
                loadNs / 1e9, showNs / 1e9, double(showNs) / double(loadNs), window.Model()->rowCount());
    std::fflush(stdout);

    auto* counting = new TCountingDelegate(window.ListView());
    window.ListView()->setItemDelegate(counting);
    QApplication::processEvents();
    const int visible = window.ListView()->viewport()->height() / TProfileRowDelegate::kRowHeight + 2;
    QScrollBar* bar = window.ListView()->verticalScrollBar();
    counting->Painted = 0;
    const int steps = 50;
    for (int i = 0; i < steps; ++i) {
        bar->setValue(bar->value() + TProfileRowDelegate::kRowHeight * 3);
        window.ListView()->viewport()->repaint();
    }
    std::printf("scrolling: %.1f rows painted per step, %d rows visible at most (%d rows in the list)\n",
                double(counting->Painted) / steps, visible, window.Model()->rowCount());
}

void MakeTree(const QString& root, int files) {
    for (int i = 0; i < files; ++i) {
        const QString folder = QStringLiteral("%1/g%2/d%3").arg(root).arg(i / 1000).arg((i / 10) % 100);
        QDir().mkpath(folder);
        QFile f(QStringLiteral("%1/f%2.txt").arg(folder).arg(i));
        if (f.open(QIODevice::WriteOnly))
            f.write(QByteArray(512 + i % 2048, char('a' + i % 26)));
    }
}

void WriteSyncProfile(const QString& dataFolder, const QString& uid, const QString& src, const QString& dst) {
    QDir().mkpath(dataFolder);
    QFile f(dataFolder + "Backup.ini");
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write(QStringLiteral("[SyncList]\r\n%1=Bench\r\n[%1_st]\r\nDelToRecycle=0\r\nSkipHiddenSystem=0\r\n[%1]\r\n"
                           "f1_1=%2/\r\nf2_1=%3/\r\n")
                .arg(uid, src, dst)
                .toUtf8());
}

double CliRun(const QString& cli, const QString& data, const QString& uid) {
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(cli, {"--data-dir", data, "run", uid});
    process.waitForFinished(-1);
    return timer.nsecsElapsed() / 1e9;
}

double WindowRun(const QString& data, const QString& uid) {
    TAppContext context(TAppPaths{data, data + "Lang/"});
    context.Options.LowPriorityWhenHiden = false;
    LoadAllSettings(context);
    TfrmMain window(context, TMainWindowStart{});
    window.show();
    QTest::qWaitForWindowExposed(&window);
    int updates = 0;
    QObject::connect(window.Model(), &QAbstractItemModel::dataChanged, [&] { ++updates; });
    QElapsedTimer timer;
    timer.start();
    // The program's own event loop serves the worker's calls as they come,
    // as the desktop program's does.
    QEventLoop loop;
    QObject::connect(&context.Events(), &TEngineEvents::queueStateChanged, &loop,
                     [&](bool, int count) { if (count == 0) loop.quit(); });
    context.FindProfileByUID(uid)->RunTask(false);
    if (!context.TaskQueue().IsEmpty())
        loop.exec();
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("  window run: %.3f s, %d row updates\n", seconds, updates);
    return seconds;
}

void LargeSync(const QString& cli, int files) {
    TestSandbox sandbox;
    const QString src = sandbox.path() + "/src";
    MakeTree(src, files);
    const QString uid = QStringLiteral("SNK202401010000000001");
    std::vector<double> cliRuns, windowRuns;
    const int rounds = 3;
    for (int round = 0; round < rounds; ++round) {
        for (bool viaWindow : {false, true}) {
            const QString dst = sandbox.path() + "/dst";
            QDir(dst).removeRecursively();
            const QString data = sandbox.path() + (viaWindow ? "/data-window/" : "/data-cli/");
            QDir(data).removeRecursively();
            WriteSyncProfile(data, uid, src, dst);
            if (viaWindow)
                windowRuns.push_back(WindowRun(data, uid));
            else {
                cliRuns.push_back(CliRun(cli, data, uid));
                std::printf("  cli run: %.3f s\n", cliRuns.back());
            }
            std::fflush(stdout);
        }
    }
    // Alternating runs on a shared machine: the medians say more than the means.
    std::sort(cliRuns.begin(), cliRuns.end());
    std::sort(windowRuns.begin(), windowRuns.end());
    const double cliMedian = cliRuns[cliRuns.size() / 2], windowMedian = windowRuns[windowRuns.size() / 2];
    std::printf("sync of %d files: window %.3f s, cli %.3f s (medians of %d), ratio window/cli %.3f (target <= 1.05)\n",
                files, windowMedian, cliMedian, rounds, windowMedian / cliMedian);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: main_window_bench CLI_PATH [files]\n");
        return 2;
    }
    ManyProfiles();
    LargeSync(QString::fromLocal8Bit(argv[1]), argc > 2 ? std::atoi(argv[2]) : 20000);
    return 0;
}
