#include "gui/settings/general_settings.h"

#include "app/app_context.h"
#include "app/settings_reset.h"
#include "gui/ui/standard_dialogs.h"
#include "lang/language_choice.h"
#include "settings/save_settings.h"
#include "util/autorun.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QWidget>

namespace {

const QString kEnglishItem = QStringLiteral("English");
const QString kRussianItem = QStringLiteral("Русский - Russian");

// Creates or deletes the marker; the result is judged by whether it exists
// afterwards, whatever the file calls said.
bool SwitchPortableMarker(const QString& marker, bool on) {
    if (on) {
        QFile file(marker);
        if (file.open(QIODevice::WriteOnly))
            file.close();
        return QFile::exists(marker);
    }
    if (QFile::exists(marker))
        QFile::remove(marker);
    return !QFile::exists(marker);
}

} // namespace

QStringList LanguageItems(const TAppContext& context) {
    return QStringList{kEnglishItem, kRussianItem} + ListLanguageFiles(context.Paths().LangFolder);
}

int CurrentLanguageIndex(const TAppContext& context) {
    const TGlobalOptions& o = context.Options;
    if (o.LanguageLocal)
        return o.Language == QLatin1String("Rus") ? 1 : 0;
    const QStringList files = ListLanguageFiles(context.Paths().LangFolder);
    const qsizetype at = files.indexOf(o.Language);
    return at < 0 ? 0 : static_cast<int>(at) + 2;
}

TGeneralSettingsValues CurrentGeneralSettings(const TAppContext& context) {
    const TGlobalOptions& o = context.Options;
    TGeneralSettingsValues v;
    v.Autorun = IsAutorunSet(kAutorunName, kAutorunArgument);
    v.DelayedStart = o.DelayedStart;
    v.LowPriorityWhenHiden = o.LowPriorityWhenHiden;
    v.ShowTrayIcon = o.ShowTrayIcon;
    v.StayOnTop = o.StayOnTop;
    v.ShowIconsInResult = o.ShowIconsInResult;
    v.AutoUpdateCheck = o.AutoUpdateCheck;
    v.BetaVersion = o.BetaVersion;
    v.PortableMode = o.PortableMode;
    v.LanguageIndex = CurrentLanguageIndex(context);
    return v;
}

void AnnounceLanguageChange() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        QEvent event(QEvent::LanguageChange);
        QCoreApplication::sendEvent(window, &event);
    }
}

bool ApplyGeneralSettings(TAppContext& context, const TGeneralSettingsValues& v, const TGeneralSettingsHooks& hooks,
                          QWidget* parent) {
    TGlobalOptions& o = context.Options;
    SetAutorun(kAutorunName, kAutorunArgument, !v.Autorun);

    o.DelayedStart = v.DelayedStart;
    o.LowPriorityWhenHiden = v.LowPriorityWhenHiden;
    if (hooks.ApplyTaskPriority)
        hooks.ApplyTaskPriority();

    o.ShowTrayIcon = v.ShowTrayIcon;
    if (hooks.ShowTrayIcon)
        hooks.ShowTrayIcon(v.ShowTrayIcon);

    o.StayOnTop = v.StayOnTop;
    o.ShowIconsInResult = v.ShowIconsInResult;
    o.AutoUpdateCheck = v.AutoUpdateCheck;
    o.BetaVersion = v.BetaVersion;

    // PortableMode keeps the mode this run uses: the other data folder is
    // taken from the next start on, and nothing is copied there.
    if (v.PortableMode != o.PortableMode) {
        const bool done = SwitchPortableMarker(PortableMarkerPath(context.Paths()), v.PortableMode);
        MessageQuestion(LngText(Lng::lib_lng_Dlg_Title_Warning),
                        LngText(done ? Lng::lib_lng_Dlg_Text_PortableNeedRestart : Lng::lib_lng_Dlg_Text_ErrorSetPortable),
                        mqOk, parent);
        if (v.PortableMode) {
            // The options taken so far still reach the file.
            context.Saver().AddNewTask(TSaveSetType::stMain);
            return false;
        }
    }

    if (v.LanguageIndex != CurrentLanguageIndex(context)) {
        if (v.LanguageIndex <= 1) {
            ApplyBuiltinLanguage(context.Language, v.LanguageIndex == 1 ? QStringLiteral("Rus") : QStringLiteral("Eng"),
                                 o.Language, o.LanguageLocal);
        } else {
            const QStringList files = ListLanguageFiles(context.Paths().LangFolder);
            const QString name = files.value(v.LanguageIndex - 2);
            o.Language = name;
            o.LanguageLocal = false;
            LoadLanguageFile(context.Language, context.Paths().LangFolder, name, context.SystemLanguage, o.Language,
                             o.LanguageLocal);
        }
        context.RefreshAllProfileTexts();
        AnnounceLanguageChange();
        if (hooks.UpdateJumpList)
            hooks.UpdateJumpList();
    }

    context.Saver().AddNewTask(TSaveSetType::stMain);
    return true;
}
