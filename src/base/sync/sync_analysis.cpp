#include "sync/sync_analysis.h"

#include "os/file_attributes.h"
#include "os/file_ops.h"
#include "sync/sync_task.h"
#include "util/mega_scan.h"
#include "util/native_path.h"
#include "util/file_time.h"
#include "util/path_delim.h"

#include <QFileInfo>
#include <QHash>

#include <string_view>
#include <unordered_map>


TSyncExclusions SplitExclusions(const QStringList& lines, const std::atomic<bool>& stop) {
    TSyncExclusions result;
    for (const QString& line : lines) {
        if (stop.load(std::memory_order_relaxed))
            break;
        const QString upper = line.toUpper().trimmed();
        if (upper.isEmpty())
            continue;
        if (upper.startsWith(kPathDelim))
            result.Fragments << upper;
        else
            result.Masks << upper;
    }
    return result;
}

bool FilesDiffer(qint64 sourceSize, qint64 sourceNs, qint64 storageSize, qint64 storageNs, bool checkDateAndSize) {
    if (sourceSize != storageSize)
        return true;
    if (!checkDateAndSize)
        return false;
    constexpr qint64 kTwoSecondsNs = 2000000000;
    const qint64 delta = sourceNs - storageNs;
    return delta >= kTwoSecondsNs || delta <= -kTwoSecondsNs;
}

bool FilesDiffer(const TSyncFileElement& source, const TSyncFileElement& storage, bool checkDateAndSize) {
    return FilesDiffer(source.Size, source.ModifiedNs, storage.Size, storage.ModifiedNs, checkDateAndSize);
}

namespace {

// Marks of the listings' entries during a comparison.
constexpr std::uint8_t kTakesNoPart = 1; // kept, or a device, pipe or socket
constexpr std::uint8_t kMatched = 2;
constexpr std::uint32_t kNoFolder = UINT32_MAX;

// A device, pipe or socket: the listing marks them system entries; links carry their own mark.
bool IsSystemEntry(const TLumo_ListedEntry& entry) {
    return !entry.IsFolder() && (entry.Attr & os::kAttrSystem) != 0 && (entry.Attr & os::kAttrReparsePoint) == 0;
}

void MarkNonParticipants(TLumo_ScanListing& listing, const QString& root, const TKeptTrees& kept) {
    const bool anyKept = kept.Covers(root);
    for (std::uint32_t i = 0; i < listing.Entries.size(); ++i) {
        TLumo_ListedEntry& entry = listing.Entries[i];
        entry.Mark = 0;
        if (IsSystemEntry(entry) || (anyKept && kept.Kept(root, listing.RelativePathText(i), entry.IsFolder())))
            entry.Mark = kTakesNoPart;
    }
}

TRunItem MakeRunEntry(const TPairScan& scan, const TLumo_ScanListing& listing, std::uint32_t index,
                      const QString& root, const QString& folderText) {
    const TLumo_ListedEntry& listed = listing.Entries[index];
    auto entry = std::make_unique<TSyncFileElement>();
    entry->ListIndex = scan.listIndex;
    entry->IsFolder = listed.IsFolder();
    entry->Attr = listed.Attr;
    entry->Root = root;
    entry->SepPath = folderText + PathFromNative(listing.NameOf(listed));
    if (listed.TimesKnown()) {
        entry->CreateTime = UnixNsToDateTime(listed.CreatedNs);
        entry->ModifiedTime = UnixNsToDateTime(listed.ModifiedNs);
        entry->ModifiedNs = listed.ModifiedNs;
    }
    entry->Size = listed.Size;
    entry->SyncEl = scan.pair;
    TSyncFileElement* raw = entry.get();
    return TRunItem{raw, std::move(entry)};
}

// The folder's path text relative to the root, made once per folder that has
// an entry to report.
class TFolderText {
public:
    explicit TFolderText(const TLumo_ScanListing& listing) : fListing(listing) {}
    const QString& Of(std::uint32_t folder) {
        if (folder != fFolder) {
            fFolder = folder;
            fText = PathFromNative(fListing.FolderPath(folder));
        }
        return fText;
    }

private:
    const TLumo_ScanListing& fListing;
    std::uint32_t fFolder = kNoFolder;
    QString fText;
};

bool CompareOnePair(TPairScan& scan, bool checkDateAndSize, const std::atomic<bool>& stop, TRunList& changed,
                    const std::function<void(TRunItem&)>& found) {
    TLumo_ScanListing& source = scan.source;
    TLumo_ScanListing& storage = scan.storage;
    // The storage folder of the same relative path as each source folder
    // (roots: each other's), found as matching folder entries are met; source
    // folders are numbered in the order of their entries.
    std::vector<std::uint32_t> counterpart(source.Folders.size(), kNoFolder);
    if (!counterpart.empty() && !storage.Folders.empty())
        counterpart[0] = 0;
    std::uint32_t nextSourceFolder = 1;
    std::unordered_map<std::string_view, std::uint32_t> names;
    TFolderText folderText(source);
    for (std::uint32_t f = 0; f < source.Folders.size(); ++f) {
        if (stop.load(std::memory_order_relaxed))
            return false;
        const TLumo_ListedFolder& folder = source.Folders[f];
        const std::uint32_t g = counterpart[f];
        names.clear();
        if (g != kNoFolder)
            for (std::uint32_t t = storage.Folders[g].FirstEntry; t < storage.Folders[g].EndEntry; ++t)
                if (storage.Entries[t].Mark != kTakesNoPart)
                    names.emplace(storage.NameOf(storage.Entries[t]), t);
        for (std::uint32_t i = folder.FirstEntry; i < folder.EndEntry; ++i) {
            const TLumo_ListedEntry& s = source.Entries[i];
            const std::uint32_t sourceChild = s.IsFolder() ? nextSourceFolder++ : kNoFolder;
            if (s.Mark == kTakesNoPart)
                continue;
            TLumo_FileStatus status = TLumo_FileStatus::flsNew;
            if (const auto it = names.find(source.NameOf(s)); it != names.end()) {
                TLumo_ListedEntry& t = storage.Entries[it->second];
                if (t.IsFolder() == s.IsFolder() && t.Mark != kMatched) {
                    t.Mark = kMatched;
                    if (s.IsFolder()) {
                        status = TLumo_FileStatus::flsOk;
                        counterpart[sourceChild] = storage.FolderOfEntry(it->second);
                    } else {
                        status = FilesDiffer(s.Size, s.ModifiedNs, t.Size, t.ModifiedNs, checkDateAndSize) ? TLumo_FileStatus::flsModified : TLumo_FileStatus::flsOk;
                    }
                }
            }
            if (status == TLumo_FileStatus::flsOk)
                continue;
            TRunItem& item = changed.emplace_back(MakeRunEntry(scan, source, i, scan.sourceRoot, folderText.Of(f)));
            item.element->Status = status;
            found(item);
        }
    }
    return true;
}

void CollectUnmatched(const TPairScan& scan, TRunList& unmatched) {
    const TLumo_ScanListing& storage = scan.storage;
    TFolderText folderText(storage);
    for (std::uint32_t i = 0; i < storage.Entries.size(); ++i)
        if (storage.Entries[i].Mark == 0)
            unmatched.push_back(MakeRunEntry(scan, storage, i, scan.storageRoot,
                                             folderText.Of(storage.Entries[i].Folder)));
}

} // namespace

bool CompareScans(std::vector<TPairScan>& scans, const TKeptTrees& keptSource, const TKeptTrees& keptStorage,
                  bool checkDateAndSize, const std::atomic<bool>& stop, TRunList& changed, TRunList& unmatched,
                  const std::function<void(TRunItem&)>& found) {
    for (TPairScan& scan : scans) {
        MarkNonParticipants(scan.source, scan.sourceRoot, keptSource);
        MarkNonParticipants(scan.storage, scan.storageRoot, keptStorage);
    }
    for (TPairScan& scan : scans)
        if (!CompareOnePair(scan, checkDateAndSize, stop, changed, found))
            return false;
    for (const TPairScan& scan : scans) {
        if (stop.load(std::memory_order_relaxed))
            return false;
        CollectUnmatched(scan, unmatched);
    }
    return true;
}

QString WithTrailingDelim(const QString& folder) {
    if (folder.trimmed().isEmpty() || folder.endsWith(kPathDelim))
        return folder;
    return folder + kPathDelim;
}

namespace {

bool OneInsideOther(const QString& a, const QString& b) {
    return a != b && (a.startsWith(b) || b.startsWith(a));
}

// The folder with links resolved, with its trailing separator; empty when it does not exist.
QString ResolvedFolder(const QString& folder) {
    const QString resolved = QFileInfo(folder).canonicalFilePath();
    return resolved.isEmpty() ? QString() : WithTrailingDelim(resolved);
}

} // namespace

bool RootsOverlap(const QString& source, const QString& storage) {
    const QString a = WithTrailingDelim(source);
    const QString b = WithTrailingDelim(storage);
    if (OneInsideOther(a, b))
        return true;
    if (a == b)
        return false;
    const QString realA = ResolvedFolder(a);
    const QString realB = ResolvedFolder(b);
    return !realA.isEmpty() && !realB.isEmpty() && OneInsideOther(realA, realB);
}

bool RootExcludedByOwnPath(const QString& root, const QStringList& fragments) {
    const QString upper = WithTrailingDelim(root).toUpper();
    for (const QString& fragment : fragments)
        if (upper.contains(fragment))
            return true;
    return false;
}

void TKeptTrees::KeepBelow(const QString& root, const QString& sub) { fPrefixes[root].push_back({sub, false}); }

void TKeptTrees::KeepFolder(const QString& root, const QString& sub) { fPrefixes[root].push_back({sub, true}); }

bool TKeptTrees::Kept(const QString& root, const QString& sepPath, bool isFolder) const {
    const auto it = fPrefixes.constFind(root);
    if (it == fPrefixes.constEnd())
        return false;
    for (const TPrefix& prefix : it.value()) {
        if (prefix.sub.isEmpty() || sepPath.startsWith(prefix.sub))
            return true;
        // The folder itself is written without its trailing separator.
        if (prefix.withFolder && isFolder && sepPath.size() + 1 == prefix.sub.size() && prefix.sub.startsWith(sepPath))
            return true;
    }
    return false;
}

void KeepCounterpartsOfFailures(const std::vector<TLumo_ScanFailure>& failures, const QString& otherRoot,
                                TKeptTrees& keep, QStringList& problems) {
    for (const TLumo_ScanFailure& failure : failures) {
        keep.KeepBelow(otherRoot, failure.SubFolder);
        problems << failure.Folder + QStringLiteral(": ") + failure.ErrorText;
    }
}

void KeepNestedStorages(const std::vector<TSyncElement>& pairs, TKeptTrees& keep) {
    for (const TSyncElement& outer : pairs) {
        if (outer.fSkipIt)
            continue;
        for (const TSyncElement& inner : pairs) {
            const QString& outerRoot = outer.fRealStorage;
            const QString& innerRoot = inner.fRealStorage;
            if (innerRoot.size() > outerRoot.size() && innerRoot.startsWith(outerRoot))
                keep.KeepFolder(outerRoot, innerRoot.mid(outerRoot.size()));
        }
    }
}

void RemoveLeftovers(const QStringList& paths, QStringList& problems) {
    for (const QString& path : paths)
        if (!os::RemoveFile(PathToNative(path)) && os::StatusOf(PathToNative(path)).kind != os::PathKind::Missing)
            problems << path;
}
