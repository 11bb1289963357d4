#pragma once

#include <QByteArray>
#include <QString>

// The settings archive: a ZIP file with the archive comment below and exactly
// one deflated entry "Backup.ini" holding the settings file byte for byte.

inline const QString kSettingsArchiveComment = QStringLiteral("Norvane Backup archive file");
inline const QString kSettingsArchiveEntry = QStringLiteral("Backup.ini");
// A settings file is a few hundred KiB at most; anything claiming more than
// this is not one of ours (and refusing it keeps a zip bomb out of memory).
inline constexpr qint64 kMaxSettingsArchiveEntrySize = 64LL * 1024 * 1024;

enum class TSettingsArchiveStatus {
    Ok,
    // The archive is not one of ours: damaged, truncated, more or other
    // entries, a name with a path, encrypted or too large. Nothing changed.
    NotOurs,
    // The archive was fine but the settings file could not be replaced; the old
    // file is still in place.
    WriteFailed,
};

struct TSettingsArchiveResult {
    TSettingsArchiveStatus Status = TSettingsArchiveStatus::Ok;
    QString Error; // the cause with the path, for the log of whoever asks
    bool Ok() const { return Status == TSettingsArchiveStatus::Ok; }
};

// Writes archivePath (under a temporary name beside it, renamed over it when
// complete) holding settingsFile as the single entry; a missing settings file
// gives an archive with the comment and no entry. False with the cause in error.
bool WriteSettingsArchive(const QString& settingsFile, const QString& archivePath, QString* error = nullptr);

// Opens archivePath and hands back the settings file it holds, checking that
// it is one of ours; reads nothing beyond kMaxSettingsArchiveEntrySize.
TSettingsArchiveResult ReadSettingsArchive(const QString& archivePath, QByteArray& settings);

// Checks the archive and replaces settingsFile by its entry atomically: the
// new content is written beside it under a temporary name, flushed and renamed
// over it, so a crash leaves either the old or the new file. Nothing changes
// unless the result is Ok.
TSettingsArchiveResult RestoreSettingsArchive(const QString& archivePath, const QString& settingsFile);
