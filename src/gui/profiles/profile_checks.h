#pragma once

#include "folderzip/folderzip_settings.h"
#include "lang/lang_keys.h"
#include "sync/sync_settings.h"
#include "zip/zip_settings.h"

#include <QString>

#include <optional>

// Why the profile editor refuses to apply: the text to show, the page to
// switch to (0 general, 1 elements, 2 exclusions; -1 stays) and the field to
// focus (an object name), or the row of the elements list to select.
struct TCheckFailure {
    Lng Text;
    int Page = -1;
    QString Field;
    int Row = -1;
};

// The checks of the three kinds on the record the window built, in the order
// the window reports them. The busy state is checked by the window afterwards.
std::optional<TCheckFailure> CheckSyncSettings(const TSyncSettings& settings);
std::optional<TCheckFailure> CheckZipSettings(const TZip_Settings& settings);
std::optional<TCheckFailure> CheckFolderZipSettings(const TFolderZip_Settings& settings);

// A folder the settings may name: absolute (a relative one would depend on the
// folder the program happens to run in).
bool IsUsableFolder(const QString& path);
