// Photographs every registered window in both languages over the fixture
// settings beside this file. Run it through scripts/screenshots.sh.

#include "shot_registry.h"

#include "app/app_context.h"
#include "app/settings_loader.h"
#include "lang/language_choice.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <cstdio>

std::vector<TShot>& RegisteredShots() {
    static std::vector<TShot> shots;
    return shots;
}

TShotRegistrar::TShotRegistrar(const char* name, TShotMaker make) {
    RegisteredShots().push_back({QString::fromUtf8(name), std::move(make)});
}

namespace {

bool PrepareDataFolder(const QString& folder) {
    const QString fixture = QStringLiteral(NORVANE_SHOT_FIXTURE "/Backup.ini");
    const QString target = folder + QStringLiteral("/Backup.ini");
    return !QFile::exists(fixture) || QFile::copy(fixture, target);
}

int Photograph(const TShot& shot, const QString& language, const QString& outDir) {
    QTemporaryDir data;
    if (!data.isValid() || !PrepareDataFolder(data.path())) {
        std::fprintf(stderr, "screenshots: cannot prepare the data folder for %s\n", qPrintable(shot.Name));
        return 1;
    }
    TAppContext context(TAppPaths{data.path() + QLatin1Char('/'), QStringLiteral(NORVANE_SHOT_LANG_FOLDER "/")});
    LoadAllSettings(context);
    QString languageName;
    bool local = false;
    // The passes are named for people; the built-in tables by their short names.
    const QString builtin = language == QLatin1String("Russian") ? QStringLiteral("Rus") : QStringLiteral("Eng");
    ApplyBuiltinLanguage(context.Language, builtin, languageName, local);
    // The profiles' row texts were made while loading, in the stored language.
    context.RefreshAllProfileTexts();

    TShotEnv env{context, language};
    std::unique_ptr<QWidget> window = shot.Make(env);
    if (!window) {
        std::fprintf(stderr, "screenshots: %s made no window\n", qPrintable(shot.Name));
        return 1;
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        std::fprintf(stderr, "screenshots: %s was never exposed\n", qPrintable(shot.Name));
    QTest::qWait(150);
    const QString file = QDir(outDir).filePath(shot.Name + QLatin1Char('_') + language + QStringLiteral(".png"));
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
        return 1;
    }
    std::printf("%s\n", qPrintable(file));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("out"), QStringLiteral("Folder for the pictures."), QStringLiteral("folder")});
    parser.addOption({QStringLiteral("only"), QStringLiteral("Only pictures whose name contains this."),
                      QStringLiteral("text")});
    parser.process(app);
    const QString outDir = parser.isSet(QStringLiteral("out")) ? parser.value(QStringLiteral("out"))
                                                               : QStringLiteral("screenshots");
    QDir().mkpath(outDir);

    int failures = 0;
    for (const TShot& shot : RegisteredShots()) {
        if (parser.isSet(QStringLiteral("only")) && !shot.Name.contains(parser.value(QStringLiteral("only"))))
            continue;
        for (const QString& language : {QStringLiteral("English"), QStringLiteral("Russian")})
            failures += Photograph(shot, language, outDir);
    }
    return failures == 0 ? 0 : 1;
}
