#include "util/mega_scan.h"

#include "os/dir_listing.h"
#include "os/file_attributes.h"
#include "util/file_mask.h"
#include "util/file_time.h"
#include "util/main_thread.h"
#include "util/native_path.h"
#include "util/path_delim.h"
#include "util/scan_listing.h"

#include <QCoreApplication>

#include <cerrno>
#include <deque>

namespace {

std::atomic<bool> gStopAllScans{false};

// Entries between two turns of the event loop when the scan runs on the main thread.
constexpr int kEntriesPerEventTurn = 100;

struct TPendingFolder {
    QString full; // with trailing separator
    QString sub;  // relative to the root, with trailing separator, empty for the root
};

} // namespace

void SetStopAllScans() { gStopAllScans.store(true); }
bool StopAllScans() { return gStopAllScans.load(std::memory_order_relaxed); }
void ResetStopAllScans() { gStopAllScans.store(false); }

TLumo_SearchElement::TLumo_SearchElement(const QString& folder, const QString& subFolder, const QString& name)
    : fFolder(folder), fSubFolder(subFolder), fName(name) {}

TLumo_SearchElement TLumo_SearchElement::SingleFileRoot(const QString& path, qint64 size) {
    TLumo_SearchElement element;
    element.fFolder = path;
    element.Size = size;
    return element;
}

// One GetFilesSize call: the compiled exclusions and the entry counter.
class TLumo_MegaScan::TWalk {
public:
    TWalk(TLumo_MegaScan& scan, const QStringList& masks, const QStringList& fragments, qint64 skipSize,
          bool skipHidden)
        : fScan(scan), fFragments(fragments), fSkipSize(skipSize), fSkipHidden(skipHidden),
          fServeEvents(IsMainThread()) {
        fMasks.reserve(static_cast<std::size_t>(masks.size()));
        for (const QString& mask : masks)
            fMasks.emplace_back(mask);
    }

    void AddSingleFile(const QString& root) {
        const qint64 size = os::RegularFileSize(PathToNative(root));
        if (fSkipSize != 0 && size > fSkipSize)
            return;
        fScan.ScanResult.FileList.push_back(TLumo_SearchElement::SingleFileRoot(root, size));
        fScan.ScanResult.FullSize += size;
    }

    // Breadth-first walk with an explicit work list; false when stopped.
    bool WalkFolder(const QString& root) {
        std::deque<TPendingFolder> pending;
        pending.push_back({root, QString()});
        while (!pending.empty()) {
            const TPendingFolder folder = std::move(pending.front());
            pending.pop_front();
            bool stopped = false;
            const QString upperFolder = fFragments.isEmpty() ? QString() : folder.full.toUpper();
            const int error = os::ListFolder(PathToNative(folder.full), [&](const os::DirEntry& entry) {
                if (fScan.Stopped()) {
                    stopped = true;
                    return false;
                }
                CountEntry();
                AddEntry(folder, upperFolder, entry, pending);
                return true;
            });
            if (stopped)
                return false;
            // A folder that is not there (any more) has nothing below it; any other failure leaves its content unknown.
            if (error != 0 && error != ENOENT && error != ENOTDIR)
                fScan.ScanResult.Failures.push_back(
                    {folder.full, folder.sub, error, QString::fromStdString(os::ListErrorText(error))});
        }
        return true;
    }

    // The single-file root of WalkInto: one entry without a name.
    void ListSingleFile(const QString& root, TLumo_ScanListing& listing) {
        const qint64 size = os::RegularFileSize(PathToNative(root));
        listing.Folders.push_back({});
        if (fSkipSize != 0 && size > fSkipSize)
            return;
        TLumo_ListedEntry& entry = listing.Entries.emplace_back();
        entry.Size = size;
        listing.Folders[0].EndEntry = 1;
        listing.FullSize += size;
    }

    // WalkFolder into a compact listing: the same entries in the same order.
    // Names stay bytes; texts are made only where an exclusion, a failure or a
    // leftover needs one. False when stopped.
    bool WalkInto(const QString& root, TLumo_ScanListing& listing) {
        struct TPendingId {
            std::uint32_t id;
            std::string native; // with trailing separator
        };
        const std::string nativeRoot = PathToNative(root);
        const std::string leftoverPrefix = PathToNative(fScan.LeftoverPrefix);
        std::deque<TPendingId> pending;
        pending.push_back({0, nativeRoot});
        listing.Folders.push_back({});
        while (!pending.empty()) {
            const TPendingId folder = std::move(pending.front());
            pending.pop_front();
            // Texts of the folder, made only when something needs them.
            QString fullText;
            const auto full = [&]() -> const QString& {
                if (fullText.isEmpty())
                    fullText = root + PathFromNative(std::string_view(folder.native).substr(nativeRoot.size()));
                return fullText;
            };
            const QString upperFolder = fFragments.isEmpty() ? QString() : full().toUpper();
            listing.Folders[folder.id].FirstEntry = static_cast<std::uint32_t>(listing.Entries.size());
            bool stopped = false;
            const int error = os::ListFolder(folder.native, [&](const os::DirEntry& entry) {
                if (fScan.Stopped()) {
                    stopped = true;
                    return false;
                }
                CountEntry();
                const bool isFolder = entry.kind == os::EntryKind::Folder;
                if (!isFolder && !leftoverPrefix.empty() && entry.name.substr(0, leftoverPrefix.size()) == leftoverPrefix) {
                    listing.Leftovers << full() + PathFromNative(entry.name);
                    return true;
                }
                if (fSkipHidden && (entry.attributes & (os::kAttrHidden | os::kAttrSystem)) != 0)
                    return true;
                if (fSkipSize != 0 && !isFolder && entry.size > fSkipSize)
                    return true;
                if ((!fFragments.isEmpty() || !fMasks.empty()) &&
                    IsExcluded(upperFolder, PathFromNative(entry.name), isFolder))
                    return true;
                const auto index = static_cast<std::uint32_t>(listing.Entries.size());
                TLumo_ListedEntry& added = listing.Entries.emplace_back();
                added.Folder = folder.id;
                added.NameOffset = static_cast<std::uint32_t>(listing.Names.size());
                added.NameLength = static_cast<std::uint16_t>(entry.name.size());
                listing.Names.append(entry.name);
                added.Size = entry.size;
                added.Attr = static_cast<std::uint16_t>(entry.attributes);
                if (entry.timesKnown) {
                    added.Flags |= TLumo_ListedEntry::kTimesKnown;
                    added.ModifiedNs = entry.modifiedNs;
                    added.CreatedNs = entry.createdNs;
                }
                if (isFolder) {
                    added.Flags |= TLumo_ListedEntry::kIsFolder;
                    const auto id = static_cast<std::uint32_t>(listing.Folders.size());
                    listing.Folders.push_back({folder.id, index, 0, 0});
                    std::string native = folder.native;
                    native.append(entry.name);
                    native += '/';
                    pending.push_back({id, std::move(native)});
                } else {
                    listing.FullSize += entry.size;
                }
                return true;
            });
            listing.Folders[folder.id].EndEntry = static_cast<std::uint32_t>(listing.Entries.size());
            if (stopped)
                return false;
            if (error != 0 && error != ENOENT && error != ENOTDIR) {
                const QString sub = PathFromNative(std::string_view(folder.native).substr(nativeRoot.size()));
                listing.Failures.push_back({full(), sub, error, QString::fromStdString(os::ListErrorText(error))});
            }
        }
        return true;
    }

private:
    void CountEntry() {
        if (++fSeen <= kEntriesPerEventTurn)
            return;
        fSeen = 0;
        // Worker threads have no window messages to serve; only a scan on the main thread keeps the window alive.
        if (fServeEvents)
            QCoreApplication::processEvents();
    }

    void AddEntry(const TPendingFolder& folder, const QString& upperFolder, const os::DirEntry& entry,
                  std::deque<TPendingFolder>& pending) {
        const bool isFolder = entry.kind == os::EntryKind::Folder;
        const QString name = PathFromNative(entry.name);
        if (!isFolder && !fScan.LeftoverPrefix.isEmpty()) {
            if (name.startsWith(fScan.LeftoverPrefix)) {
                fScan.ScanResult.Leftovers << folder.full + name;
                return;
            }
        }
        if (fSkipHidden && (entry.attributes & (os::kAttrHidden | os::kAttrSystem)) != 0)
            return;
        if (fSkipSize != 0 && !isFolder && entry.size > fSkipSize)
            return;
        if (IsExcluded(upperFolder, name, isFolder))
            return;

        TLumo_SearchElement& element = fScan.ScanResult.FileList.emplace_back(folder.full, folder.sub, name);
        element.IsFolder = isFolder;
        element.Size = entry.size;
        element.Attr = static_cast<qint32>(entry.attributes);
        if (entry.timesKnown) {
            element.DT_Created = UnixNsToDateTime(entry.createdNs);
            element.DT_Modified = UnixNsToDateTime(entry.modifiedNs);
            element.ModifiedNs = entry.modifiedNs;
        }
        if (isFolder)
            pending.push_back({folder.full + name + kPathDelim, folder.sub + name + kPathDelim});
        else
            fScan.ScanResult.FullSize += entry.size;
    }

    // A folder is tested with a trailing separator, so fragments such as
    // "/CACHE/" and masks such as "cache/" single out folders.
    bool IsExcluded(const QString& upperFolder, const QString& name, bool isFolder) const {
        if (!fFragments.isEmpty()) {
            QString upperPath = upperFolder + name.toUpper();
            if (isFolder)
                upperPath += kPathDelim;
            for (const QString& fragment : fFragments)
                if (upperPath.contains(fragment))
                    return true;
        }
        if (!fMasks.empty()) {
            const QString testName = isFolder ? name + kPathDelim : name;
            for (const TFileMask& mask : fMasks)
                if (mask.Matches(testName))
                    return true;
        }
        return false;
    }

    TLumo_MegaScan& fScan;
    std::vector<TFileMask> fMasks;
    const QStringList& fFragments;
    const qint64 fSkipSize;
    const bool fSkipHidden;
    const bool fServeEvents;
    int fSeen = 0;
};

bool TLumo_MegaScan::Stopped() const { return AbortIt.load(std::memory_order_relaxed) || StopAllScans(); }

void TLumo_MegaScan::GetFilesSize(const QStringList& FilesList, const QStringList& ExtMasks,
                                  const QStringList& ExtFolder, qint64 SkipSize, bool SkipHidden) {
    TWalk walk(*this, ExtMasks, ExtFolder, SkipSize, SkipHidden);
    for (const QString& root : FilesList) {
        if (Stopped())
            return;
        if (root.trimmed().isEmpty())
            continue;
        if (!root.endsWith(kPathDelim))
            walk.AddSingleFile(root);
        else if (!walk.WalkFolder(root))
            return;
    }
}

void TLumo_MegaScan::ListTree(const QString& root, const QStringList& ExtMasks, const QStringList& ExtFolder,
                              qint64 SkipSize, bool SkipHidden, TLumo_ScanListing& listing) {
    listing.Clear();
    if (Stopped() || root.trimmed().isEmpty()) {
        listing.Folders.push_back({});
        return;
    }
    TWalk walk(*this, ExtMasks, ExtFolder, SkipSize, SkipHidden);
    if (!root.endsWith(kPathDelim))
        walk.ListSingleFile(root, listing);
    else
        walk.WalkInto(root, listing);
}

void TLumo_MegaScan::CleanResult() {
    std::vector<TLumo_SearchElement>().swap(ScanResult.FileList);
    ScanResult.Failures.clear();
    ScanResult.Leftovers.clear();
}
