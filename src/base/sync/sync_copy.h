#pragma once

#include "os/file_ops.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <set>
#include <utility>

// The file system objects a run has written (files, links) or made its target
// folders (created or found). The deletion phase never removes one of them:
// on a storage volume that ignores letter case, a name that differs only in
// case from a source entry names the object the run has just written.
class TWrittenObjects {
public:
    void Add(const QString& path);
    void Add(std::uint64_t device, std::uint64_t inode);
    bool Contains(const QString& path) const;
    bool empty() const { return fObjects.empty(); }

private:
    std::set<std::pair<std::uint64_t, std::uint64_t>> fObjects;
};

// Names of the temporary files a copy writes beside its target begin with this.
inline constexpr char kSyncTempPrefix[] = ".nvsync-";

enum class TCopyOutcome {
    Copied,
    Stopped,       // the stop flag was seen between blocks
    SourceChanged, // the source's size or last-write time changed while it was copied
    Failed
};

// Size of the blocks in which file content is copied; the stop flag is checked between blocks.
inline constexpr std::int64_t kCopyBlockSize = 1 << 20;

// Copies the file or symbolic link source to target. The content goes to a
// temporary file beside target, which gets the source's last-write and
// last-access times and permission bits and then replaces target; a failed,
// stopped or overtaken copy removes the temporary file and leaves target as it
// was. A link is recreated as a link with the same target text. progress
// receives the file percentage (Round(copied / max(expectedSize, 1) * 100),
// at most 100) whenever it changes. A failure puts the path concerned and the
// system's reason into why (when given).
TCopyOutcome CopyOneFile(const QString& source, const QString& target, qint64 expectedSize,
                         const std::atomic<bool>& stop, const std::function<void(quint8 percent)>& progress,
                         TWrittenObjects* written = nullptr, QString* why = nullptr);
// The same into folder, target's own folder, which the caller holds open
// for the many files that go there one after another.
TCopyOutcome CopyOneFileInto(const os::HeldFolder& folder, const QString& source, const QString& target,
                             qint64 expectedSize, const std::atomic<bool>& stop,
                             const std::function<void(quint8 percent)>& progress, TWrittenObjects* written = nullptr,
                             QString* why = nullptr);

// Creates the folder root + below with its missing parents; true when it
// exists afterwards, and then held (when given) holds it open. root may be
// reached through links (the user chose it); below never is: a link or file
// at one of its components makes it fail.
bool CreateFolderPath(const QString& root, const QString& below, os::HeldFolder* held = nullptr);
// Removes what stands where a folder must be made: a symbolic link (never its
// target) or a file (to the Trash when toTrash). True when nothing, or a real
// folder, is there afterwards.
bool ClearWayForFolder(const QString& path, bool toTrash);
// Carries the source folder's times and read-only state over to target.
bool CopyFolderTimes(const QString& source, const QString& target);

// True when path exists as a folder (isFolder) or as anything else; when it
// cannot be examined, why (when given) receives the path and the system's reason.
bool EntryExists(const QString& path, bool isFolder, QString* why = nullptr);
// True when no entry of that kind is at path any more. A path that cannot be
// examined is never gone; why then receives the path and the system's reason.
bool EntryGone(const QString& path, bool isFolder, QString* why = nullptr);
// Deletes a file or link, or a folder with everything in it, for good.
// A read-only parent folder is made writable for the removal and gets its
// mode back after it. True when it is gone afterwards (see EntryGone).
bool DeleteForGood(const QString& path, bool isFolder, QString* why = nullptr);
// Moves a file, link or folder into the Trash; a read-only parent folder or
// a read-only folder to move does not stop it (see DeleteForGood). why
// receives the path and the reason when it did not move.
bool MoveEntryToTrash(const QString& path, QString* why = nullptr);

// Of the folder and file paths to move to the Trash, those that do not lie
// inside another folder of the list (a path lies inside folder F when it
// begins with F and the separator; letter case counts, as on the native file
// system). Folders come first, sorted.
QStringList OutermostPaths(QStringList folders, const QStringList& files, const std::atomic<bool>& stop);

// Round(part / whole * 100) with halves to the even neighbour, 0 to 100.
quint8 PercentOf(qint64 part, qint64 whole);
