#pragma once

#include "util/date_time.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <vector>

class TLumo_ScanListing;

// The process-wide stop for directory scans: set once when the application
// shuts down, it ends every running scan and every later one.
void SetStopAllScans();
bool StopAllScans();
// Clears the stop again; only tests need this.
void ResetStopAllScans();

// One entry found by a scan. Scans of large trees keep hundreds of thousands
// of these, so an entry holds only its own name and shares the text of its
// containing folder with its siblings; the paths are put together on demand.
class TLumo_SearchElement {
public:
    TLumo_SearchElement() = default;
    // An entry named name inside folder (the full folder path with its trailing
    // separator); subFolder is that folder relative to the scanned root (empty
    // for the root itself, otherwise with a trailing separator).
    TLumo_SearchElement(const QString& folder, const QString& subFolder, const QString& name);
    // A root entry given as a single file: FullPath is the root text itself,
    // Name and SubPath are empty.
    static TLumo_SearchElement SingleFileRoot(const QString& path, qint64 size);

    // The entry's own name as found; empty for a single-file root.
    const QString& Name() const { return fName; }
    // Path relative to the scanned root, without a leading or trailing separator.
    QString SubPath() const { return fSubFolder + fName; }
    // The containing folder (with its trailing separator) followed by Name.
    QString FullPath() const { return fFolder + fName; }
    // The containing folder with its trailing separator (the whole root text for a single-file root).
    const QString& Folder() const { return fFolder; }

private:
    QString fFolder;
    QString fSubFolder;
    QString fName;

public:
    qint64 Size = 0;             // bytes as listed; 0 for folders
    TDateTime DT_Created = 0;    // UTC; 0 when the times could not be read
    TDateTime DT_Modified = 0;   // UTC
    qint64 ModifiedNs = 0;       // the last write exactly: nanoseconds since 1970 UTC, 0 when unknown
    qint32 Attr = 0;             // kAttr* bits of os/file_attributes.h; 0 for a single-file root
    bool IsFolder = false;
};

// A folder the scan could not list completely. Nothing is known about what
// lies below it, so whoever compares trees must keep its counterpart as it is.
struct TLumo_ScanFailure {
    QString Folder;    // full path with its trailing separator
    QString SubFolder; // relative to the scanned root with a trailing separator, empty for the root
    int Error = 0;     // system error number
    QString ErrorText; // the system's text for Error
};

struct TLumo_SearchResult {
    // The entries in scan order: roots in the given order, each folder root breadth-first.
    std::vector<TLumo_SearchElement> FileList;
    // Total Size of every file (not folder) added since the result was created.
    qint64 FullSize = 0;
    // Folders that could not be listed (one that does not exist is not a failure).
    std::vector<TLumo_ScanFailure> Failures;
    // Full paths of the non-folder entries whose names begin with LeftoverPrefix;
    // they are left out of FileList whatever the exclusions say.
    QStringList Leftovers;
};

// The directory scanner the engines run first: a flat list of the files and
// folders below some roots, minus what the user excluded. Symbolic links are
// listed but never followed, so a tree with link loops is walked once.
class TLumo_MegaScan {
public:
    TLumo_MegaScan() = default;
    TLumo_MegaScan(const TLumo_MegaScan&) = delete;
    TLumo_MegaScan& operator=(const TLumo_MegaScan&) = delete;

    // Appends the entries below every root of FilesList to ScanResult. A root
    // ending with the path separator is a folder to walk; any other non-blank
    // root is one file, listed even when missing (size 0) and never excluded.
    // Inside walked folders an entry is left out when its name (a folder's with
    // a trailing separator) matches a mask of ExtMasks, when its upper-cased full
    // path (a folder's with a trailing separator) contains a fragment of
    // ExtFolder, when it is a file larger than SkipSize bytes (0: no limit), or,
    // with SkipHidden, when it is hidden or a system entry. A left-out folder is
    // not walked. Returns early, keeping what was found, once AbortIt or
    // StopAllScans is set.
    void GetFilesSize(const QStringList& FilesList, const QStringList& ExtMasks, const QStringList& ExtFolder,
                      qint64 SkipSize, bool SkipHidden);

    // The same walk of one root into a compact listing, for trees of millions
    // of entries: listing receives what ScanResult.FileList would (in the same
    // order), the failures, leftovers and FullSize. ScanResult is left alone.
    void ListTree(const QString& root, const QStringList& ExtMasks, const QStringList& ExtFolder, qint64 SkipSize,
                  bool SkipHidden, TLumo_ScanListing& listing);

    // Releases every element, failure and leftover; FullSize keeps its value.
    void CleanResult();

    std::atomic<bool> AbortIt{false};
    // Names with this beginning are a program's own temporary files; empty: none.
    QString LeftoverPrefix;
    TLumo_SearchResult ScanResult;

private:
    class TWalk;
    bool Stopped() const;
};
