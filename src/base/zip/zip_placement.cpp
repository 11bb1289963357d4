#include "zip/zip_placement.h"

#include "archive/set_swap.h"
#include "archive/zip_writer.h"
#include "util/native_path.h"
#include "util/scramble.h"
#include "zip/zip_files.h"
#include "zip/zip_names.h"

#include <QDir>
#include <QRegularExpression>

#include <vector>

namespace {

constexpr std::uint64_t kMiB = 1048576;
const QString kZipExt = QStringLiteral(".zip");

// The row shows this many of the paths a run left out; the rest are counted.
constexpr qsizetype kShownDetails = 5;

// The writer's message names the path; where it does not, the path goes first.
QString FailureText(const std::string& path, const std::string& message) {
    const QString text = QString::fromUtf8(message);
    if (message.find(path) != std::string::npos)
        return text;
    return QLatin1Char('\'') + PathFromNative(path) + QStringLiteral("': ") + text;
}

} // namespace

const QString kRunTempBasePrefix = QStringLiteral("tmplumozip");

QString FreeTempBase(const QString& folder) {
    for (int n = 0;; ++n) {
        const QString base = kRunTempBasePrefix + QString::number(n);
        if (!PathTaken(folder + base + kZipExt))
            return base;
    }
}

void RemoveRunLeftovers(const QString& folder) {
    static const QRegularExpression kLeftover(QStringLiteral("^") + kRunTempBasePrefix +
                                              QStringLiteral("[0-9]+\\.z(ip|[0-9]{2,})(\\.~[0-9a-f]{8})?$"));
    const QStringList names = QDir(folder).entryList({kRunTempBasePrefix + QStringLiteral("*")},
                                                     QDir::Files | QDir::System | QDir::Hidden);
    for (const QString& name : names)
        if (kLeftover.match(name).hasMatch())
            RemoveFileQuietly(folder + name);
}

void DiscardTemporary(const QString& folder, const QString& tempBase, bool split) {
    RemoveFileQuietly(folder + tempBase + kZipExt);
    if (split)
        DeleteSplitVolumes(tempBase, folder);
}

bool PlaceArchive(const QString& folder, const QString& tempBase, const QString& target, bool split,
                  QString& cause) {
    const QString tempFile = folder + tempBase + kZipExt;
    // A folder or a read-only file of the target's name is left as it is.
    if (!TargetReplaceable(target)) {
        DiscardTemporary(folder, tempBase, split);
        return false;
    }
    bool placed = true;
    if (split) {
        // Segments only work together: the old set, with all its segments,
        // is swapped for the new one as a whole, so that a kill at any moment
        // leaves one of them whole and the next run finishes or undoes it.
        const QString targetBase = ArchiveBaseName(target);
        std::vector<std::string> newFiles, finalNames, oldFiles;
        for (int k = 1; PathTaken(folder + tempBase + SplitVolumeSuffix(k)); ++k) {
            newFiles.push_back(PathToNative(folder + tempBase + SplitVolumeSuffix(k)));
            finalNames.push_back(PathToNative(folder + targetBase + SplitVolumeSuffix(k)));
        }
        newFiles.push_back(PathToNative(tempFile));
        finalNames.push_back(PathToNative(target));
        for (int k = 1; PathTaken(folder + targetBase + SplitVolumeSuffix(k)); ++k)
            oldFiles.push_back(PathToNative(folder + targetBase + SplitVolumeSuffix(k)));
        std::string error;
        placed = archive::ReplaceFileSet(newFiles, finalNames, oldFiles, error);
        cause = QString::fromUtf8(error);
    } else {
        // The file was flushed by the writer; the rename replaces the old archive in one step.
        placed = ReplaceFile(tempFile, target);
    }
    if (placed)
        return true;
    // A swap that could not be undone keeps its files for the next run.
    if (!PathTaken(PathFromNative(archive::SwapJournalPath(PathToNative(target)))))
        DiscardTemporary(folder, tempBase, split);
    return false;
}

void TLeftOutFiles::Clear() {
    fTexts.clear();
    fPaths.clear();
}

void TLeftOutFiles::Add(const std::string& path, const std::string& message) {
    if (fPaths.insert(path).second)
        fTexts << FailureText(path, message);
}

void TLeftOutFiles::AddWritersOwn(const TZipWriter& writer) {
    for (const TZWLeftOutFile& leftOut : writer.LeftOutFiles())
        if (fPaths.insert(leftOut.path).second)
            fTexts << QString::fromUtf8(leftOut.message);
}

void ConfigureArchiveWriter(TZipWriter& writer, const TArchiveWriterSetup& setup, TLeftOutFiles& leftOut) {
    writer.SetUnicodeFilenames(true);
    writer.SetCompressionMode(setup.Compression);
    writer.SetFileName(PathToNative(setup.TempFile));
    writer.SetZip64Mode(TZip64Mode::zmAuto);
    // The stored form scrambled again gives the clear text; its UTF-8 bytes are the key.
    writer.SetPassword(setup.StoredPassword.isEmpty() ? std::string()
                                                      : ScrambleText(setup.StoredPassword).toUtf8().toStdString());
    writer.ExclusionMasks().clear();
    for (const QString& mask : setup.ExcludeList)
        writer.ExclusionMasks().push_back(mask.toUtf8().toStdString());
    for (const QString& path : setup.ExtraExcludes)
        writer.ExclusionMasks().push_back(PathToNative(path));
    writer.SetStopFlag(setup.Stop);

    if (setup.Split) {
        writer.SetInMemory(false);
        writer.SetSpanningMode(TZWSpanningMode::smSplitting);
        TZWSpanningOptions& options = writer.SpanningOptions();
        options.AdvancedNaming = false;
        options.VolumeSize = TZWVolumeSize::vsCustom;
        options.CustomVolumeSize = static_cast<std::uint64_t>(setup.SpanSizeMiB) * kMiB;
        options.FirstVolumeSize = options.CustomVolumeSize;
    } else {
        writer.SetSpanningMode(TZWSpanningMode::smNone);
        // Written straight to disk: the file is the same, and memory stays
        // bounded for archives of any size.
        writer.SetInMemory(false);
    }
    // A file that cannot be read (or a folder that cannot be listed) is left
    // out and the archive is otherwise complete; the run says what it lacks.
    writer.OnProcessFileFailure = [&leftOut](TZipWriterBase&, const std::string& fileName, TZWProcessOperation, int,
                                             int, const std::string& message, TZWAction& action) {
        action = TZWAction::fxaIgnore;
        leftOut.Add(fileName, message);
    };
}

QString DetailText(const QStringList& details) {
    QString text = details.mid(0, kShownDetails).join(QStringLiteral("; "));
    if (details.size() > kShownDetails)
        text += QStringLiteral(" (+%1)").arg(details.size() - kShownDetails);
    return text;
}
