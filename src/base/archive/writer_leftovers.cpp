#include "archive/writer_leftovers.h"

#include "archive/file_io.h"
#include "archive/set_swap.h"

#include <vector>

namespace archive {

namespace {

constexpr std::string_view kMarker = ".~";
constexpr std::size_t kRandomDigits = 8;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

} // namespace

bool IsWriterTemporaryName(std::string_view name) {
    if (name.size() <= kMarker.size() + kRandomDigits)
        return false;
    const std::size_t marker = name.size() - kRandomDigits - kMarker.size();
    if (name.substr(marker, kMarker.size()) != kMarker)
        return false;
    for (const char c : name.substr(marker + kMarker.size()))
        if (!IsHexDigit(c))
            return false;
    return true;
}

bool RemoveWriterLeftovers(const std::string& folder, std::string& error) {
    std::vector<FolderItem> items;
    if (!ListFolder(folder, items, error))
        return false;
    std::string prefix = folder;
    if (!prefix.empty() && !IsSeparator(prefix.back()))
        prefix += kSeparator;
    // An interrupted swap first: the files it moved aside may be the only
    // whole set, and they carry temporary names.
    bool finishedSwap = false;
    for (const FolderItem& item : items) {
        if (item.facts.kind == FileKind::Folder || !IsSwapJournalName(item.name))
            continue;
        std::string cause;
        if (!FinishInterruptedSwap(prefix + item.name, cause)) {
            error += (error.empty() ? "" : "; ") + cause;
            return false;
        }
        finishedSwap = true;
    }
    if (finishedSwap && !ListFolder(folder, items, error))
        return false;
    bool allGone = true;
    for (const FolderItem& item : items) {
        if (item.facts.kind == FileKind::Folder || !IsWriterTemporaryName(item.name))
            continue;
        std::string cause;
        if (!RemoveFile(prefix + item.name, cause)) {
            error += (error.empty() ? "" : "; ") + cause;
            allGone = false;
        }
    }
    return allGone;
}

} // namespace archive
