#include "zip/zip_versions.h"

#include "ini/ini_values.h"

namespace {

QString NameKey(int k) { return QStringLiteral("Name_%1").arg(k); }
QString DateTimeKey(int k) { return QStringLiteral("DateTime_%1").arg(k); }

} // namespace

TFileVersionList ReadFileVersions(const IniDocument& ini, const QString& section) {
    TFileVersionList versions;
    for (int k = 0; ini.HasKey(section, NameKey(k)); ++k)
        versions.push_back(TFileVersion{IniReadDateTime(ini, section, DateTimeKey(k)),
                                        IniReadString(ini, section, NameKey(k))});
    return versions;
}

void WriteFileVersions(IniDocument& ini, const QString& section, const TFileVersionList& versions) {
    ini.EraseSection(section);
    int k = 0;
    for (const TFileVersion& version : versions) {
        ini.SetValue(section, NameKey(k), version.Filename);
        IniWriteDateTime(ini, section, DateTimeKey(k), version.FileDateTime);
        ++k;
    }
}
