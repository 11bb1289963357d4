#pragma once

// Replaces a set of files that only work together (a split archive's
// segments and its last file) so that a kill at any moment leaves a whole
// set: the old set is moved aside under temporary names, the new set takes
// the final names with its key file last, and only then is the old set
// removed. A journal beside the key file names every file of the swap, so a
// later run finishes a swap whose new set was complete and undoes any other.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace archive {

// newFiles[i] takes the name finalNames[i]. The last pair is the key file,
// the one readers open first: it is the last to take its name, and a reader
// never finds it beside segments of the other set. oldFiles are the files
// of the set being replaced; each is gone afterwards unless a new file took
// its name (existing final names count as old files anyway). All paths are
// in one folder. On failure the old set is back under its names, the new
// files under theirs, and error says why. beforeEachStep, when set, is
// called before every change on disk; tests stop the swap there.
bool ReplaceFileSet(const std::vector<std::string>& newFiles, const std::vector<std::string>& finalNames,
                    const std::vector<std::string>& oldFiles, std::string& error,
                    const std::function<void()>& beforeEachStep = {});

// The journal of a swap whose key file is keyPath, and how such a name is recognised.
std::string SwapJournalPath(const std::string& keyPath);
bool IsSwapJournalName(std::string_view name);

// Finishes the swap of journalPath when its new set had been put in place
// completely, and undoes it otherwise; then removes the journal. False with
// error set when that cannot be done: the files are then left as they are.
bool FinishInterruptedSwap(const std::string& journalPath, std::string& error);

} // namespace archive
