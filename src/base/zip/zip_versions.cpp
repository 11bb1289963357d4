#include "zip/zip_versions.h"

#include "ini/ini_lists.h"

namespace {

const QString kNameField = QStringLiteral("Name_");
const QString kDateTimeField = QStringLiteral("DateTime_");

} // namespace

TFileVersionList ReadFileVersions(const IniDocument& ini, const QString& section) {
    TFileVersionList versions;
    IniReadNumberedList(ini, section, kNameField, 0, [&versions](const TIniItemReader& item) {
        versions.push_back(TFileVersion{item.DateTime(kDateTimeField), item.String(kNameField)});
    });
    return versions;
}

void WriteFileVersions(IniDocument& ini, const QString& section, const TFileVersionList& versions) {
    IniWriteNumberedList(ini, section, 0, versions, [](TIniItemWriter& item, const TFileVersion& version) {
        item.SetString(kNameField, version.Filename);
        item.SetDateTime(kDateTimeField, version.FileDateTime);
    });
}
