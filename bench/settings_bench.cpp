// Times the start-up load of a Backup.ini with many profiles of all kinds and
// one save pass after changing one profile. Prints the median of several runs.

#include "app/app_context.h"
#include "app/settings_loader.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"

#include "qt_app.h"
#include "settings_fixture.h"
#include "test_env.h"

#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    EnsureQtApp();
    const int profiles = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 7;

    TestSandbox sandbox;
    const TSettingsFixture fixture = MakeSettingsFixture(profiles);
    sandbox.writeFile("data/Backup.ini", fixture.Bytes);
    const TAppPaths paths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"};

    std::vector<double> loadMs, saveMs;
    for (int r = 0; r < runs; ++r) {
        TAppContext ctx(paths);
        ctx.SystemLanguage = QStringLiteral("Eng");
        QElapsedTimer timer;
        timer.start();
        LoadAllSettings(ctx);
        loadMs.push_back(timer.nsecsElapsed() / 1e6);
        if (static_cast<int>(ctx.Profiles().size()) != fixture.ProfileCount()) {
            std::fprintf(stderr, "loaded %zu of %d profiles\n", ctx.Profiles().size(), fixture.ProfileCount());
            return 1;
        }

        TLumo_BackupProfile& changed = *ctx.Profiles()[static_cast<size_t>(r) % ctx.Profiles().size()];
        ctx.Saver().AddNewTask(TSaveSetType::stFullProfile, changed.UID());
        timer.restart();
        ctx.Saver().RunSaveAndWait();
        saveMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::printf("Backup.ini: %d profiles, %lld bytes\n", fixture.ProfileCount(),
                static_cast<long long>(QFile(paths.SettingsFile()).size()));
    std::printf("load (median of %d): %.1f ms   target < 300 ms   ratio %.2f\n", runs, Median(loadMs),
                Median(loadMs) / 300.0);
    std::printf("save pass after one change (median of %d): %.1f ms   target < 100 ms   ratio %.2f\n", runs,
                Median(saveMs), Median(saveMs) / 100.0);
    return 0;
}
