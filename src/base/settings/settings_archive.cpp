#include "settings/settings_archive.h"

#include "os/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <memory>
#include <string_view>

namespace {

struct TZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using TZipHandle = std::unique_ptr<zip_t, TZipCloser>;

struct TZipFileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using TZipFileHandle = std::unique_ptr<zip_file_t, TZipFileCloser>;

QString ZipErrorText(zip_t* archive) { return QString::fromUtf8(zip_strerror(archive)); }

QString ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const QString text = QString::fromUtf8(zip_error_strerror(&error));
    zip_error_fini(&error);
    return text;
}

TSettingsArchiveResult NotOurs(const QString& archivePath, const QString& why) {
    return {TSettingsArchiveStatus::NotOurs, archivePath + QStringLiteral(": ") + why};
}

void SetError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

} // namespace

bool WriteSettingsArchive(const QString& settingsFile, const QString& archivePath, QString* error) {
    QByteArray content;
    const bool haveSettings = QFileInfo::exists(settingsFile);
    if (haveSettings) {
        QFile file(settingsFile);
        if (!file.open(QIODevice::ReadOnly)) {
            SetError(error, settingsFile + QStringLiteral(": ") + file.errorString());
            return false;
        }
        content = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            SetError(error, settingsFile + QStringLiteral(": ") + file.errorString());
            return false;
        }
    }

    // libzip writes the whole archive under a temporary name beside the target
    // and renames it over the target in zip_close, so a failure never leaves a
    // half-written archive behind.
    int code = 0;
    const QByteArray nativePath = QFile::encodeName(archivePath);
    TZipHandle archive(zip_open(nativePath.constData(), ZIP_CREATE | ZIP_TRUNCATE, &code));
    if (!archive) {
        SetError(error, archivePath + QStringLiteral(": ") + ZipErrorText(code));
        return false;
    }
    if (haveSettings) {
        zip_source_t* source = zip_source_buffer(archive.get(), content.constData(),
                                                 static_cast<zip_uint64_t>(content.size()), 0);
        if (!source) {
            SetError(error, archivePath + QStringLiteral(": ") + ZipErrorText(archive.get()));
            return false;
        }
        const QByteArray entry = kSettingsArchiveEntry.toUtf8();
        const zip_int64_t index = zip_file_add(archive.get(), entry.constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            SetError(error, archivePath + QStringLiteral(": ") + ZipErrorText(archive.get()));
            return false;
        }
        if (zip_set_file_compression(archive.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE, 0) != 0) {
            SetError(error, archivePath + QStringLiteral(": ") + ZipErrorText(archive.get()));
            return false;
        }
    }
    const QByteArray comment = kSettingsArchiveComment.toUtf8();
    if (zip_set_archive_comment(archive.get(), comment.constData(), static_cast<zip_uint16_t>(comment.size())) != 0) {
        SetError(error, archivePath + QStringLiteral(": ") + ZipErrorText(archive.get()));
        return false;
    }
    // zip_close frees the archive only on success; on failure the handle still
    // owns it and discards it.
    if (zip_close(archive.get()) != 0) {
        SetError(error, archivePath + QStringLiteral(": ") + ZipErrorText(archive.get()));
        return false;
    }
    archive.release();
    return true;
}

TSettingsArchiveResult ReadSettingsArchive(const QString& archivePath, QByteArray& settings) {
    settings.clear();
    int code = 0;
    const QByteArray nativePath = QFile::encodeName(archivePath);
    // ZIP_CHECKCONS compares the central directory with the local headers, so
    // a truncated or patched archive is refused before anything is read.
    TZipHandle archive(zip_open(nativePath.constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive)
        return NotOurs(archivePath, ZipErrorText(code));

    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    if (count != 1)
        return NotOurs(archivePath, QStringLiteral("holds %1 entries instead of one").arg(count));

    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive.get(), 0, 0, &stat) != 0)
        return NotOurs(archivePath, ZipErrorText(archive.get()));
    constexpr zip_uint64_t kNeeded = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    if ((stat.valid & kNeeded) != kNeeded)
        return NotOurs(archivePath, QStringLiteral("the entry's header is incomplete"));
    // The exact name, compared in upper case: anything with a folder part
    // ("x/Backup.ini", "../Backup.ini") is not one of ours.
    const QString name = QString::fromUtf8(stat.name);
    if (name.toUpper() != kSettingsArchiveEntry.toUpper())
        return NotOurs(archivePath, QStringLiteral("the entry is named \"%1\"").arg(name));
    if (stat.encryption_method != ZIP_EM_NONE)
        return NotOurs(archivePath, QStringLiteral("the entry is encrypted"));
    if (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE)
        return NotOurs(archivePath, QStringLiteral("the entry uses compression method %1").arg(stat.comp_method));
    if (stat.size > static_cast<zip_uint64_t>(kMaxSettingsArchiveEntrySize))
        return NotOurs(archivePath, QStringLiteral("the entry is %1 bytes long").arg(stat.size));

    TZipFileHandle entry(zip_fopen_index(archive.get(), 0, 0));
    if (!entry)
        return NotOurs(archivePath, ZipErrorText(archive.get()));
    // Reads at most one byte more than declared: a stream that inflates beyond
    // its stated size is refused without being expanded further.
    settings.resize(static_cast<qsizetype>(stat.size) + 1);
    qint64 got = 0;
    while (got < settings.size()) {
        const zip_int64_t n = zip_fread(entry.get(), settings.data() + got, static_cast<zip_uint64_t>(settings.size() - got));
        if (n < 0) {
            const QString why = QString::fromUtf8(zip_file_strerror(entry.get()));
            settings.clear();
            return NotOurs(archivePath, why);
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got != static_cast<qint64>(stat.size)) {
        settings.clear();
        return NotOurs(archivePath, QStringLiteral("the entry holds %1 bytes instead of %2").arg(got).arg(stat.size));
    }
    settings.resize(got);
    return {};
}

TSettingsArchiveResult RestoreSettingsArchive(const QString& archivePath, const QString& settingsFile) {
    QByteArray settings;
    TSettingsArchiveResult result = ReadSettingsArchive(archivePath, settings);
    if (!result.Ok())
        return result;
    QDir().mkpath(QFileInfo(settingsFile).absolutePath());
    std::string error;
    if (!os::WriteFileAtomically(QFile::encodeName(settingsFile).toStdString(),
                                 std::string_view(settings.constData(), static_cast<size_t>(settings.size())), error))
        return {TSettingsArchiveStatus::WriteFailed, QString::fromStdString(error)};
    return {};
}
