#include "gui/profiles/profile_checks.h"

#include "util/string_lists.h"
#include "zip/zip_names.h"

#include <QDir>

namespace {

bool Nested(const QString& a, const QString& b) {
    const QString x = IncludeBackslash(a).toUpper();
    const QString y = IncludeBackslash(b).toUpper();
    return x.startsWith(y) || y.startsWith(x);
}

} // namespace

bool IsUsableFolder(const QString& path) {
    const QString trimmed = path.trimmed();
    return !trimmed.isEmpty() && !QDir::isRelativePath(trimmed);
}

std::optional<TCheckFailure> CheckSyncSettings(const TSyncSettings& s) {
    if (s.nTitle.trimmed().isEmpty())
        return TCheckFailure{Lng::lng_Dialog_InvalidTaskTitle, 0, QStringLiteral("edtSyncTitle")};
    const qsizetype pairs = s.nValueList.size() / 2;
    if (pairs == 0)
        return TCheckFailure{Lng::lng_Dialog_SyncNoElements, 1, QStringLiteral("lstSyncPairs")};
    for (qsizetype i = 0; i < pairs; ++i)
        for (qsizetype k = 0; k < 2; ++k)
            if (!IsUsableFolder(s.nValueList.at(2 * i + k)))
                return TCheckFailure{Lng::lib_lng_Dlg_Text_InvalidFolder, 1, QStringLiteral("lstSyncPairs"),
                                     static_cast<int>(i)};
    // Every source against every storage folder, its own pair included.
    for (qsizetype i = 0; i < pairs; ++i)
        for (qsizetype j = 0; j < pairs; ++j)
            if (Nested(s.nValueList.at(2 * i), s.nValueList.at(2 * j + 1)))
                return TCheckFailure{Lng::lng_Dialog_FolderExistsOrNested, 1, QStringLiteral("lstSyncPairs"),
                                     static_cast<int>(j)};
    return std::nullopt;
}

std::optional<TCheckFailure> CheckZipSettings(const TZip_Settings& s) {
    if (s.nTitle.trimmed().isEmpty())
        return TCheckFailure{Lng::lng_Dialog_InvalidTaskTitle, 0, QStringLiteral("edtZipTitle")};
    if (!IsUsableFolder(s.nFolder))
        return TCheckFailure{Lng::lib_lng_Dlg_Text_InvalidFolder, 0, QStringLiteral("edtZipFolder")};
    // A template made only of characters a name cannot hold (or of separators)
    // would give an archive without a name.
    if (s.nFilename.trimmed().isEmpty() || ExpandNameTemplate(s.nFilename, QString()).trimmed().isEmpty())
        return TCheckFailure{Lng::lib_lng_Dlg_Text_InvalidFilename, 0, QStringLiteral("edtZipFilename")};
    if (s.nValueList.size() < 2)
        return TCheckFailure{Lng::lng_Dialog_ZipNoElements, 1, QStringLiteral("lstZipElements")};
    return std::nullopt;
}

std::optional<TCheckFailure> CheckFolderZipSettings(const TFolderZip_Settings& s) {
    if (s.nTitle.trimmed().isEmpty())
        return TCheckFailure{Lng::lng_Dialog_InvalidTaskTitle, 0, QStringLiteral("edtFzTitle")};
    if (!IsUsableFolder(s.nSourceFolder))
        return TCheckFailure{Lng::lib_lng_Dlg_Text_InvalidFolder, 0, QStringLiteral("edtFzSource")};
    if (!IsUsableFolder(s.nSaveToFolder))
        return TCheckFailure{Lng::lib_lng_Dlg_Text_InvalidFolder, 0, QStringLiteral("edtFzStorage")};
    const QString source = IncludeBackslash(s.nSourceFolder.trimmed()).toUpper();
    const QString storage = IncludeBackslash(s.nSaveToFolder.trimmed()).toUpper();
    if (storage.size() > source.size() && storage.startsWith(source))
        return TCheckFailure{Lng::lng_Dialog_ZipFolderErrorFolder, 0, QStringLiteral("edtFzStorage")};
    return std::nullopt;
}
