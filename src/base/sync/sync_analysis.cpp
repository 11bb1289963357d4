#include "sync/sync_analysis.h"

#include "os/file_ops.h"
#include "sync/sync_task.h"
#include "util/mega_scan.h"
#include "util/native_path.h"
#include "util/path_delim.h"

#include <QHash>

#include <QFileInfo>

namespace {

struct TPairKey {
    qint32 listIndex;
    bool isFolder;
    QString path;
    bool operator==(const TPairKey&) const = default;
};

size_t qHash(const TPairKey& key, size_t seed = 0) {
    return ::qHash(key.path, seed) ^ (static_cast<size_t>(key.listIndex) * 2 + (key.isFolder ? 1 : 0));
}

void RemoveEmptySlots(TRunList& list) {
    std::erase_if(list, [](const TRunItem& item) { return item.element == nullptr; });
}

} // namespace

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

bool FilesDiffer(const TSyncFileElement& source, const TSyncFileElement& storage, bool checkDateAndSize) {
    if (source.Size != storage.Size)
        return true;
    if (!checkDateAndSize)
        return false;
    constexpr qint64 kTwoSecondsNs = 2000000000;
    const qint64 delta = source.ModifiedNs - storage.ModifiedNs;
    return delta >= kTwoSecondsNs || delta <= -kTwoSecondsNs;
}

std::unique_ptr<TSyncFileElement> MakeRunEntry(const TLumo_SearchElement& scanned, const QString& root,
                                               TSyncElement* pair, qint32 listIndex) {
    auto entry = std::make_unique<TSyncFileElement>();
    entry->ListIndex = listIndex;
    entry->IconIndex = -2;
    entry->IsFolder = scanned.IsFolder;
    entry->Attr = scanned.Attr;
    entry->Root = root;
    entry->SepPath = scanned.SubPath();
    entry->CreateTime = scanned.DT_Created;
    entry->ModifiedTime = scanned.DT_Modified;
    entry->ModifiedNs = scanned.ModifiedNs;
    entry->Size = scanned.Size;
    entry->Error = false;
    entry->SyncEl = pair;
    entry->Status = TLumo_FileStatus::flsNone;
    return entry;
}

bool CompareLists(TRunList& source, TRunList& storage, bool checkDateAndSize, const std::atomic<bool>& stop,
                  const std::function<void(TRunItem&)>& found) {
    // First storage entry per key (stored as index + 1, so that a new slot
    // reads as 0), and for each entry the next one with the same key, so that
    // several entries of one key are taken in list order.
    QHash<TPairKey, qsizetype> first;
    first.reserve(storage.size());
    std::vector<qsizetype> next(storage.size(), -1);
    for (qsizetype i = static_cast<qsizetype>(storage.size()); i-- > 0;) {
        const TSyncFileElement& t = *storage[static_cast<std::size_t>(i)].element;
        qsizetype& head = first[TPairKey{t.ListIndex, t.IsFolder, t.SepPath}];
        // Filled from the end, so the head is always the earliest entry seen so far.
        next[static_cast<std::size_t>(i)] = head - 1;
        head = i + 1;
    }

    bool stopped = false;
    for (TRunItem& item : source) {
        if (stop.load(std::memory_order_relaxed)) {
            stopped = true;
            break;
        }
        TSyncFileElement& s = *item.element;
        auto it = first.find(TPairKey{s.ListIndex, s.IsFolder, s.SepPath});
        if (it != first.end()) {
            const qsizetype j = it.value() - 1;
            TRunItem& counterpart = storage[static_cast<std::size_t>(j)];
            if (s.IsFolder)
                s.Status = TLumo_FileStatus::flsOk;
            else
                s.Status = FilesDiffer(s, *counterpart.element, checkDateAndSize) ? TLumo_FileStatus::flsModified
                                                                                  : TLumo_FileStatus::flsOk;
            counterpart.owned.reset();
            counterpart.element = nullptr;
            if (next[static_cast<std::size_t>(j)] >= 0)
                it.value() = next[static_cast<std::size_t>(j)] + 1;
            else
                first.erase(it);
        }
        if (s.Status == TLumo_FileStatus::flsNone)
            s.Status = TLumo_FileStatus::flsNew;
        if (s.Status == TLumo_FileStatus::flsOk) {
            item.owned.reset();
            item.element = nullptr;
        } else {
            found(item);
        }
    }
    RemoveEmptySlots(storage);
    RemoveEmptySlots(source);
    return !stopped;
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

bool TKeptTrees::Kept(const TSyncFileElement& entry) const {
    const auto it = fPrefixes.constFind(entry.Root);
    if (it == fPrefixes.constEnd())
        return false;
    for (const TPrefix& prefix : it.value()) {
        if (prefix.sub.isEmpty() || entry.SepPath.startsWith(prefix.sub))
            return true;
        // The folder itself is written without its trailing separator.
        if (prefix.withFolder && entry.IsFolder && entry.SepPath.size() + 1 == prefix.sub.size() &&
            prefix.sub.startsWith(entry.SepPath))
            return true;
    }
    return false;
}

void TKeptTrees::Prune(TRunList& list) const {
    if (fPrefixes.isEmpty())
        return;
    std::erase_if(list, [this](const TRunItem& item) { return item.element && Kept(*item.element); });
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
