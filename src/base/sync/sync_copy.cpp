#include "sync/sync_copy.h"

#include "os/file_ops.h"
#include "util/native_path.h"
#include "util/path_delim.h"
#include "util/trash.h"

#include <QSet>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace {

std::string Native(const QString& path) { return PathToNative(path); }

// The folder part of a path, with its trailing separator.
QString FolderOf(const QString& path) {
    const qsizetype at = path.lastIndexOf(kPathDelim);
    return at < 0 ? QString() : path.left(at + 1);
}

constexpr const char* kTempPrefix = kSyncTempPrefix;

// Runs remove (a removal or move of the entry at native); when it fails while
// the entry's parent folder, or the entry as a folder, is read-only for its
// owner, tries once more with the owner given write access to them, as
// Windows clears the read-only attribute before deleting. The parent stays
// and gets its mode back; the entry itself is gone and keeps the access.
template <class Remove> bool RemoveWithWriteAccess(const std::string& native, Remove remove) {
    if (remove())
        return true;
    const std::size_t slash = native.find_last_of('/');
    os::OwnerWriteAccess parent(slash == std::string::npos ? std::string() : native.substr(0, slash ? slash : 1));
    os::OwnerWriteAccess itself(native);
    if (!parent.Granted() && !itself.Granted())
        return false;
    if (!remove())
        return false;
    itself.Keep();
    return true;
}

// Removes the temporary file when the copy does not end in its rename.
class TTempFile {
public:
    explicit TTempFile(std::string path) : fPath(std::move(path)) {}
    ~TTempFile() {
        if (!fPath.empty())
            os::RemoveFile(fPath);
    }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const std::string& path() const { return fPath; }
    void Release() { fPath.clear(); }

private:
    std::string fPath;
};

bool MakeLinkBeside(const std::string& linkTarget, const std::string& folder, std::string& tempPath) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate;
        // A unique name is reserved as an empty file first, then replaced by the link.
        if (!os::CreateUniqueFile(folder, kTempPrefix, candidate))
            return false;
        os::RemoveFile(candidate);
        if (os::MakeSymLink(linkTarget, candidate)) {
            tempPath = candidate;
            return true;
        }
    }
    return false;
}

TCopyOutcome CopyLink(const std::string& source, const std::string& target, const os::PathStatus& before,
                      TWrittenObjects* written, const QString& targetText) {
    std::string linkTarget;
    if (!os::ReadSymLink(source, linkTarget))
        return TCopyOutcome::Failed;
    std::string tempPath;
    if (!MakeLinkBeside(linkTarget, Native(FolderOf(targetText)), tempPath))
        return TCopyOutcome::Failed;
    TTempFile temp(tempPath);
    if (!os::SetPathTimes(temp.path(), before.accessedNs, before.modifiedNs))
        return TCopyOutcome::Failed;
    if (!os::RenameReplacing(temp.path(), target))
        return TCopyOutcome::Failed;
    temp.Release();
    if (written)
        written->Add(targetText);
    return TCopyOutcome::Copied;
}

} // namespace

namespace {

bool Examined(const os::PathStatus& status) {
    return status.kind != os::PathKind::Missing && status.kind != os::PathKind::Error;
}

} // namespace

void TWrittenObjects::Add(std::uint64_t device, std::uint64_t inode) { fObjects.emplace(device, inode); }

void TWrittenObjects::Add(const QString& path) {
    const os::PathStatus status = os::StatusOf(Native(path));
    if (Examined(status))
        fObjects.emplace(status.device, status.inode);
}

bool TWrittenObjects::Contains(const QString& path) const {
    if (fObjects.empty())
        return false;
    const os::PathStatus status = os::StatusOf(Native(path));
    return Examined(status) && fObjects.count({status.device, status.inode}) != 0;
}

quint8 PercentOf(qint64 part, qint64 whole) {
    const double ratio = static_cast<double>(part) / static_cast<double>(std::max<qint64>(whole, 1)) * 100.0;
    return static_cast<quint8>(std::clamp(std::nearbyint(ratio), 0.0, 100.0));
}

namespace {

// "path: reason", the form in which a failure reaches the run's error text.
void Explain(QString* why, const QString& path, const std::string& reason) {
    if (why)
        *why = path + QStringLiteral(": ") + QString::fromStdString(reason);
}

// The system's reason why an examined source cannot be copied as a file.
std::string WhyNotCopied(const os::PathStatus& status) {
    if (status.kind == os::PathKind::Error)
        return status.errorText;
    return status.kind == os::PathKind::Missing ? std::strerror(ENOENT) : "not a regular file";
}

} // namespace

TCopyOutcome CopyOneFile(const QString& source, const QString& target, qint64 expectedSize,
                         const std::atomic<bool>& stop, const std::function<void(quint8 percent)>& progress,
                         TWrittenObjects* written, QString* why) {
    const os::HeldFolder folder(Native(FolderOf(target)));
    return CopyOneFileInto(folder, source, target, expectedSize, stop, progress, written, why);
}

TCopyOutcome CopyOneFileInto(const os::HeldFolder& folder, const QString& source, const QString& target,
                             qint64 expectedSize, const std::atomic<bool>& stop,
                             const std::function<void(quint8 percent)>& progress, TWrittenObjects* written,
                             QString* why) {
    const std::string sourcePath = Native(source);
    // Examined before it is opened: opening a pipe would wait for a writer,
    // and a device that took the file's place is no file to copy.
    const os::PathStatus before = os::StatusOf(sourcePath);
    if (before.kind == os::PathKind::SymLink)
        return CopyLink(sourcePath, Native(target), before, written, target);
    if (before.kind != os::PathKind::File) {
        Explain(why, source, WhyNotCopied(before));
        return TCopyOutcome::Failed;
    }

    quint8 shown = 0;
    os::CopyRequest request;
    request.prefix = kTempPrefix;
    request.blockSize = kCopyBlockSize;
    request.progress = [&](std::int64_t done) {
        const quint8 percent = PercentOf(done, expectedSize);
        if (percent != shown && progress) {
            shown = percent;
            progress(percent);
        }
        return !stop.load(std::memory_order_relaxed);
    };
    const os::CopyReport report =
        os::CopyIntoFolder(sourcePath, folder, Native(target.mid(target.lastIndexOf(kPathDelim) + 1)), request);
    switch (report.result) {
    case os::CopyResult::Ok: break;
    case os::CopyResult::Stopped: return TCopyOutcome::Stopped;
    // A source written to while it was read would leave a copy that matches
    // neither its old nor its new content; it is taken again next time.
    case os::CopyResult::SourceChanged: return TCopyOutcome::SourceChanged;
    case os::CopyResult::SourceFailed: Explain(why, source, report.errorText); return TCopyOutcome::Failed;
    case os::CopyResult::TargetFailed: Explain(why, target, report.errorText); return TCopyOutcome::Failed;
    }
    if (shown != 100 && progress && expectedSize <= 0)
        progress(100);
    if (written)
        written->Add(report.device, report.inode);
    return TCopyOutcome::Copied;
}

bool CreateFolderPath(const QString& root, const QString& below, os::HeldFolder* held) {
    return os::MakeFoldersBelow(Native(root), Native(below), held);
}

bool ClearWayForFolder(const QString& path, bool toTrash) {
    const std::string native = Native(path);
    const os::PathKind kind = os::StatusOf(native).kind;
    if (kind == os::PathKind::Missing || kind == os::PathKind::Folder)
        return true;
    if (kind == os::PathKind::Error)
        return false;
    // A link carries no data of its own; a file goes where the run's deletions go.
    if (kind == os::PathKind::File && toTrash)
        MoveToTrash(path);
    else
        os::RemoveFile(native);
    return os::StatusOf(native).kind == os::PathKind::Missing;
}

bool CopyFolderTimes(const QString& source, const QString& target) {
    const os::PathStatus status = os::StatusOf(Native(source));
    if (status.kind != os::PathKind::Folder)
        return false;
    // The owner keeps write access to a storage folder, or the next run could not update its content.
    return os::SetPathTimes(Native(target), status.accessedNs, status.modifiedNs);
}

bool EntryExists(const QString& path, bool isFolder, QString* why) {
    const os::PathStatus status = os::StatusOf(Native(path));
    if (why && status.kind == os::PathKind::Error)
        *why = path + QStringLiteral(": ") + QString::fromStdString(status.errorText);
    const os::PathKind kind = status.kind;
    return isFolder ? kind == os::PathKind::Folder : (kind != os::PathKind::Missing && kind != os::PathKind::Folder);
}

bool EntryGone(const QString& path, bool isFolder, QString* why) {
    const os::PathStatus status = os::StatusOf(Native(path));
    if (status.kind == os::PathKind::Error) {
        if (why)
            *why = path + QStringLiteral(": ") + QString::fromStdString(status.errorText);
        return false;
    }
    // An entry of the other kind at this path is not the one that was to go.
    return isFolder ? status.kind != os::PathKind::Folder
                    : status.kind == os::PathKind::Missing || status.kind == os::PathKind::Folder;
}

bool DeleteForGood(const QString& path, bool isFolder, QString* why) {
    const std::string native = Native(path);
    if (isFolder) {
        if (os::StatusOf(native).kind == os::PathKind::Folder)
            RemoveWithWriteAccess(native, [&native] { return os::RemoveTree(native); });
    } else if (EntryExists(path, false)) {
        RemoveWithWriteAccess(native, [&native] { return os::RemoveFile(native); });
    }
    return EntryGone(path, isFolder, why);
}

bool MoveEntryToTrash(const QString& path, QString* why) {
    QString reason;
    const bool moved = RemoveWithWriteAccess(Native(path), [&] { return MoveToTrash(path, nullptr, &reason); });
    if (!moved && why)
        *why = path + QStringLiteral(": ") + reason;
    return moved;
}

namespace {

// True when path lies inside one of the folders (at any depth).
bool InsideOneOf(const QString& path, const QSet<QString>& folders) {
    for (qsizetype at = path.lastIndexOf(kPathDelim); at > 0; at = path.lastIndexOf(kPathDelim, at - 1))
        if (folders.contains(path.left(at)))
            return true;
    return false;
}

} // namespace

QStringList OutermostPaths(QStringList folders, const QStringList& files, const std::atomic<bool>& stop) {
    std::sort(folders.begin(), folders.end());
    const QSet<QString> all(folders.begin(), folders.end());
    QStringList outer;
    for (const QString& folder : folders) {
        if (stop.load(std::memory_order_relaxed))
            return outer;
        if (!InsideOneOf(folder, all))
            outer << folder;
    }
    for (const QString& file : files) {
        if (stop.load(std::memory_order_relaxed))
            break;
        if (!InsideOneOf(file, all))
            outer << file;
    }
    return outer;
}
