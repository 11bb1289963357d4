#pragma once

#include "sync/sync_file_element.h"

#include <QHash>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class TLumo_SearchElement;
struct TLumo_ScanFailure;
class TSyncElement;

// One entry of a run's source or storage list, owned by the run for the whole
// run (the result list gets a copy). element is cleared once the entry is done.
struct TRunItem {
    TSyncFileElement* element = nullptr;
    std::unique_ptr<TSyncFileElement> owned;
};
using TRunList = std::vector<TRunItem>;

// The scanner's two exclusion inputs built from a profile's exclusion lines.
struct TSyncExclusions {
    QStringList Masks;     // file masks matched against names
    QStringList Fragments; // path fragments (lines starting with the separator)
};

// Upper-cases and trims each line, drops blank ones and sorts them into masks
// and path fragments. Stops early when stop is set.
TSyncExclusions SplitExclusions(const QStringList& lines, const std::atomic<bool>& stop);

// Two files with the same relative path differ when their sizes differ or,
// under the size-and-time rule, when their last-write times are 2 s or more
// apart (exactly, to the nanosecond).
bool FilesDiffer(const TSyncFileElement& source, const TSyncFileElement& storage, bool checkDateAndSize);

// Makes the run entry of one scanned element of a pair's side.
std::unique_ptr<TSyncFileElement> MakeRunEntry(const TLumo_SearchElement& scanned, const QString& root,
                                               TSyncElement* pair, qint32 listIndex);

// Classifies every source entry against the storage list: an entry's
// counterpart is the first storage entry with the same kind, the same
// relative path (letter case counts) and the same pair that no earlier source
// entry took. Matched storage entries leave the storage list; source entries
// found equal (flsOk) leave the source list; new (flsNew) and changed
// (flsModified) ones stay and are passed to found in source order. Hash
// lookups give the same pairing as a walk over the storage list would.
// Returns false when stopped (the lists then hold what was not yet handled).
bool CompareLists(TRunList& source, TRunList& storage, bool checkDateAndSize, const std::atomic<bool>& stop,
                  const std::function<void(TRunItem&)>& found);

// Folder text ending with the path separator; a blank text stays as it is.
QString WithTrailingDelim(const QString& folder);

// True when one folder lies inside the other (both end with the separator);
// the same folder on both sides does not overlap. Symbolic links on the way
// are followed for folders that exist.
bool RootsOverlap(const QString& source, const QString& storage);

// True when a path fragment of the exclusions matches the root folder itself,
// which would leave the whole side empty.
bool RootExcludedByOwnPath(const QString& root, const QStringList& fragments);

// Parts of the lists a run must leave alone, per root folder of the side.
class TKeptTrees {
public:
    // Everything strictly below sub (relative, with a trailing separator;
    // empty: the whole root) of root is kept.
    void KeepBelow(const QString& root, const QString& sub);
    // The folder sub of root and everything below it are kept.
    void KeepFolder(const QString& root, const QString& sub);
    bool empty() const { return fPrefixes.isEmpty(); }
    // Removes the kept entries from list (they are neither copied nor deleted).
    void Prune(TRunList& list) const;

private:
    bool Kept(const TSyncFileElement& entry) const;
    struct TPrefix {
        QString sub;
        bool withFolder;
    };
    QHash<QString, std::vector<TPrefix>> fPrefixes;
};

// What a scan could not list on one side of a pair is kept on the other:
// an unlisted source folder keeps its storage counterpart's content (nothing
// there is deleted), an unlisted storage folder keeps the source content below
// it (nothing is copied into a folder whose content is unknown). Appends a
// text naming each folder and its cause to problems.
void KeepCounterpartsOfFailures(const std::vector<TLumo_ScanFailure>& failures, const QString& otherRoot,
                                TKeptTrees& keep, QStringList& problems);

// A storage folder of one pair that lies inside the storage folder of another
// pair belongs to that inner pair: the outer pair neither deletes it nor
// anything below it.
void KeepNestedStorages(const std::vector<TSyncElement>& pairs, TKeptTrees& keep);

// Removes the leftover temporary files a scan handed back; texts of the
// failures are appended to problems.
void RemoveLeftovers(const QStringList& paths, QStringList& problems);
