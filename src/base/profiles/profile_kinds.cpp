#include "profiles/profile_kinds.h"

namespace {

const QString kSettingsSuffix = QStringLiteral("_st");
const QString kExcludeSuffix = QStringLiteral("_Ex");

} // namespace

QString ProfileSettingsSection(const QString& uid) { return uid + kSettingsSuffix; }

QString ProfileExcludeSection(const QString& uid) { return uid + kExcludeSuffix; }

void TProfileKinds::LoadAll(const IniDocument& ini, TEngineServices& services) const {
    for (const TProfileKindInfo& kind : fKinds)
        kind.Load(ini, services);
}

void TProfileKinds::EraseProfile(IniDocument& ini, const QString& uid) const {
    ini.EraseSection(ProfileSettingsSection(uid));
    ini.EraseSection(ProfileExcludeSection(uid));
    for (const TProfileKindInfo& kind : fKinds) {
        ini.DeleteKey(kind.ListSection, uid);
        for (const QString& suffix : kind.SectionSuffixes)
            ini.EraseSection(uid + suffix);
    }
}
