#pragma once

#include "sync/sync_file_element.h"
#include "util/scan_listing.h"

#include <QHash>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

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
bool FilesDiffer(qint64 sourceSize, qint64 sourceNs, qint64 storageSize, qint64 storageNs, bool checkDateAndSize);

// One folder pair's two sides as the scanner listed them, compactly: a
// no-change analysis of a million files keeps only these.
struct TPairScan {
    TSyncElement* pair = nullptr;
    qint32 listIndex = 0; // the pair's number among the scanned pairs
    QString sourceRoot;   // resolved folders, with their trailing separator
    QString storageRoot;
    TLumo_ScanListing source;
    TLumo_ScanListing storage;
};

class TKeptTrees;

// Classifies every source entry of each pair against the storage entries of
// the same pair: an entry's counterpart is the storage entry with the same
// kind and the same relative path (letter case counts; names are compared as
// the file system's bytes). Entries that keep lists leave alone and devices,
// pipes and sockets take no part. Folder by folder, each pair in turn, the new
// (flsNew) and changed (flsModified) source entries become run entries in
// listing order, appended to changed and passed to found; equal ones (flsOk)
// are left out. Then the storage entries no source entry took, pair by pair
// in listing order, are appended to unmatched (status flsNone). Returns false
// when stopped (the lists then hold what was found so far).
bool CompareScans(std::vector<TPairScan>& scans, const TKeptTrees& keptSource, const TKeptTrees& keptStorage,
                  bool checkDateAndSize, const std::atomic<bool>& stop, TRunList& changed, TRunList& unmatched,
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
    // True when something below root is kept.
    bool Covers(const QString& root) const { return fPrefixes.contains(root); }
    // True when the entry at sepPath of root is kept (neither copied nor deleted).
    bool Kept(const QString& root, const QString& sepPath, bool isFolder) const;

private:
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
