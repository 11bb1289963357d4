#pragma once

#include "sync/sync_file_element.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class TLumo_SearchElement;

// One entry of a run's source or storage list. The run owns the entry until
// it is handed to the result list; the pointer stays valid after that.
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

// Whole milliseconds of a day-count time, as the comparison takes them.
qint64 TimeInMilliseconds(TDateTime value);

// Two files with the same relative path differ when their sizes differ or,
// under the size-and-time rule, when their last-write times are 2 s or more apart.
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
