#include "folderzip/folderzip_scan.h"

#include "os/dir_listing.h"
#include "util/mega_scan.h"
#include "util/native_path.h"
#include "util/path_delim.h"
#include "util/scan_listing.h"

#include <QDateTime>

#include <algorithm>
#include <cerrno>

namespace {

// Local time to the millisecond; the comparison goes by the 14-digit stamp.
TDateTime LocalTimeOfNs(qint64 ns) {
    return FromQDateTime(QDateTime::fromMSecsSinceEpoch(ns / 1000000, Qt::LocalTime));
}

QString FailureText(const QString& folder, const QString& why) {
    return QLatin1Char('\'') + folder + QStringLiteral("': ") + why;
}

struct TListedFolder {
    QString Name;
    qint64 ModifiedNs = 0;
};

} // namespace

TSourceScan ScanSubfolders(TLumo_MegaScan& scan, const QString& source, const QStringList& excludedUpper,
                           const std::optional<QStringList>& onlyUpper, const QStringList& fileMasks) {
    TSourceScan result;
    std::vector<TListedFolder> listed;
    const int error = os::ListFolder(PathToNative(source), [&](const os::DirEntry& entry) {
        if (scan.AbortIt || StopAllScans())
            return false;
        if (entry.kind != os::EntryKind::Folder)
            return true;
        const QString name = PathFromNative(entry.name);
        const QString upper = name.toUpper();
        if (excludedUpper.contains(upper))
            return true;
        if (onlyUpper && !onlyUpper->contains(upper))
            return true;
        listed.push_back({name, entry.timesKnown ? entry.modifiedNs : 0});
        return true;
    });
    if (error != 0 && error != ENOENT)
        result.Error = FailureText(source, QString::fromStdString(os::ListErrorText(error)));

    // One compact listing reused for every subfolder: only the newest time,
    // the file count and the total size are wanted, not a path per entry.
    TLumo_ScanListing listing;
    for (const TListedFolder& folder : listed) {
        if (scan.AbortIt || StopAllScans()) {
            result.Stopped = true;
            break;
        }
        TSubfolderState state;
        state.Name = folder.Name;
        const QString root = source + folder.Name + kPathDelim;
        scan.ListTree(root, fileMasks, {}, 0, false, listing);
        if (scan.AbortIt || StopAllScans()) {
            result.Stopped = true;
            break;
        }
        qint64 newestNs = folder.ModifiedNs;
        for (const TLumo_ListedEntry& entry : listing.Entries) {
            newestNs = std::max<qint64>(newestNs, entry.ModifiedNs);
            if (!entry.IsFolder())
                ++state.FileCount;
        }
        state.TotalSize = listing.FullSize;
        state.Newest = newestNs > 0 ? LocalTimeOfNs(newestNs) : 0;
        if (!listing.Failures.empty()) {
            const TLumo_ScanFailure& failure = listing.Failures.front();
            state.Error = FailureText(failure.Folder, failure.ErrorText);
        }
        result.Folders.push_back(std::move(state));
    }
    return result;
}

bool SubfolderChanged(TDateTime storedNewest, qint64 storedCount, qint64 storedSize, const TSubfolderState& now) {
    if (storedNewest == 0 || storedCount < 0 || storedSize < 0)
        return true;
    return DateTimeToStamp(storedNewest) != DateTimeToStamp(now.Newest) || storedCount != now.FileCount ||
           storedSize != now.TotalSize;
}
