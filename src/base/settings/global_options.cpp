#include "settings/global_options.h"

#include "ini/ini_values.h"

#include <new>

void LoadMainSection(const IniDocument& ini, TGlobalOptions& options, QStringList& positions) {
    const QString& s = kMainSection;
    try {
        options.Language = IniReadString(ini, s, QStringLiteral("Language"));
        options.LanguageLocal = IniReadBool(ini, s, QStringLiteral("LanguageLocal"), true);
        options.ShowTrayIcon = IniReadBool(ini, s, QStringLiteral("ShowTrayIcon"), true);
        options.StayOnTop = IniReadBool(ini, s, QStringLiteral("StayOnTop"), false);
        options.ShowIconsInResult = IniReadBool(ini, s, QStringLiteral("ShowIconsInResult"), true);
        options.BetaVersion = IniReadBool(ini, s, QStringLiteral("BetaVersion"), false);
        options.AutoUpdateCheck = IniReadBool(ini, s, QStringLiteral("AutoUpdateCheck"), true);
        options.AutoUpdateLast = IniReadDateTime(ini, s, QStringLiteral("AutoUpdateLast"));
        options.DelayedStart = IniReadBool(ini, s, QStringLiteral("DelayedStart"), true);
        options.LowPriorityWhenHiden = IniReadBool(ini, s, QStringLiteral("LowPriorityWhenHiden"), true);
        options.UpdateAvailable = IniReadBool(ini, s, QStringLiteral("UpdateAvailable"), false);
        positions = UnpackList(IniReadString(ini, s, QStringLiteral("Positions")));
    } catch (const EConvertError&) {
        // The rest keeps its defaults; nothing is reported.
    } catch (const std::bad_alloc&) {
        // A value too large for memory is as unreadable as a malformed one.
    }
}

void WriteMainOptions(IniDocument& ini, const TGlobalOptions& options) {
    const QString& s = kMainSection;
    ini.SetValue(s, QStringLiteral("Language"), options.Language);
    IniWriteBool(ini, s, QStringLiteral("LanguageLocal"), options.LanguageLocal);
    IniWriteBool(ini, s, QStringLiteral("ShowTrayIcon"), options.ShowTrayIcon);
    IniWriteBool(ini, s, QStringLiteral("StayOnTop"), options.StayOnTop);
    IniWriteBool(ini, s, QStringLiteral("ShowIconsInResult"), options.ShowIconsInResult);
    IniWriteBool(ini, s, QStringLiteral("BetaVersion"), options.BetaVersion);
    IniWriteBool(ini, s, QStringLiteral("AutoUpdateCheck"), options.AutoUpdateCheck);
    IniWriteDateTime(ini, s, QStringLiteral("AutoUpdateLast"), options.AutoUpdateLast);
    IniWriteBool(ini, s, QStringLiteral("DelayedStart"), options.DelayedStart);
    IniWriteBool(ini, s, QStringLiteral("LowPriorityWhenHiden"), options.LowPriorityWhenHiden);
    IniWriteBool(ini, s, QStringLiteral("UpdateAvailable"), options.UpdateAvailable);
}

void WritePositions(IniDocument& ini, const QStringList& uids) {
    ini.DeleteKey(kMainSection, QStringLiteral("Positions"));
    bool ok = false;
    const QString packed = PackList(uids, &ok);
    if (ok)
        ini.SetValue(kMainSection, QStringLiteral("Positions"), packed);
}
