#pragma once

#include <QString>
#include <QStringList>

#include <atomic>
#include <set>
#include <string>

class TZipWriter;

// What the archive engines share around the writer: the temporary names an
// archive is written under, how a finished archive takes the place of the
// previous one, how the writer is set up and what it could not take.

// Temporary archives of a run are named this followed by a number.
extern const QString kRunTempBasePrefix;

// The first free temporary base name in folder: tmplumozip0, tmplumozip1, ...
QString FreeTempBase(const QString& folder);

// Removes what a killed run left in folder under the run's temporary names:
// the archive, its segments and the writer's files for them. Nothing else
// carries these names, so nothing of the user's is touched.
void RemoveRunLeftovers(const QString& folder);

// Deletes the temporary archive folder + tempBase + ".zip" and, when split, its segments.
void DiscardTemporary(const QString& folder, const QString& tempBase, bool split);

// Puts the finished temporary archive (and its segments when split) in the
// place of target, replacing the previous archive with all its segments as a
// whole: a kill at any moment leaves one of them whole. False when the target
// cannot be replaced (a folder or a read-only file of its name) or the swap
// failed; cause then says why where it is known, and the temporary files are
// gone unless a half-done swap keeps them for the next run to finish.
bool PlaceArchive(const QString& folder, const QString& tempBase, const QString& target, bool split,
                  QString& cause);

// How a run sets up the writer.
struct TArchiveWriterSetup {
    QString TempFile;
    int Compression = 7;
    QString StoredPassword;  // scrambled form; empty for none
    QStringList ExcludeList; // the user's masks
    QStringList ExtraExcludes; // paths the archive must never take (the run's own files)
    bool Split = false;
    int SpanSizeMiB = 1900;
    const std::atomic<bool>* Stop = nullptr;
};

// Collects what the writer could not take (path and cause), each path once,
// in the order met.
class TLeftOutFiles {
public:
    void Clear();
    void Add(const std::string& path, const std::string& message);
    // The entries the writer left out without asking (names it cannot store).
    void AddWritersOwn(const TZipWriter& writer);
    const QStringList& Texts() const { return fTexts; }

private:
    QStringList fTexts;
    std::set<std::string> fPaths;
};

// Sets compression, names, Zip64, password, exclusions, splitting and the
// stop flag, and makes a file that cannot be read (or a folder that cannot be
// listed) be left out and recorded in leftOut. Masks, base folder and the
// progress events are the caller's.
void ConfigureArchiveWriter(TZipWriter& writer, const TArchiveWriterSetup& setup, TLeftOutFiles& leftOut);

// At most a few of a run's error details joined for the row, the rest counted.
QString DetailText(const QStringList& details);
