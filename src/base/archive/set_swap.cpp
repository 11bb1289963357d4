#include "archive/set_swap.h"

#include "archive/file_io.h"

#include <algorithm>
#include <cstdio>

namespace archive {

namespace {

constexpr std::string_view kJournalSuffix = ".~swap";
constexpr std::string_view kJournalFormat = "norvane-set-swap-1";
constexpr std::string_view kJournalEnd = "end";
constexpr std::string_view kOldTag = "old";
constexpr std::string_view kNewTag = "new";
// Far beyond the journal of any real set; a larger file is not one of ours.
constexpr std::size_t kMaxJournalSize = 16u << 20;

// One rename of the swap, by names inside the swap's folder.
struct Move {
    std::string from;
    std::string to;
};

struct SwapPlan {
    std::string folder;          // ends with a separator, or is empty
    std::vector<Move> asides;    // old file -> its temporary name; the old key file first
    std::vector<Move> placements; // new file -> its final name; the key file last
};

enum class JournalState { Whole, Partial, Foreign };

std::size_t NameStart(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1]))
            return i;
    return 0;
}

bool IsPlainName(const std::string& name) {
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) { return IsSeparator(c) || c == '/'; });
}

// Fields end with a NUL, which no file name contains.
std::string JournalText(const SwapPlan& plan) {
    std::string text;
    auto field = [&text](std::string_view value) {
        text.append(value);
        text.push_back('\0');
    };
    field(kJournalFormat);
    for (const Move& move : plan.asides) {
        field(kOldTag);
        field(move.from);
        field(move.to);
    }
    for (const Move& move : plan.placements) {
        field(kNewTag);
        field(move.from);
        field(move.to);
    }
    field(kJournalEnd);
    return text;
}

JournalState ParseJournal(const std::string& text, SwapPlan& plan) {
    std::vector<std::string> fields;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\0', start);
        if (end == std::string::npos)
            break; // cut off while it was written
        fields.emplace_back(text, start, end - start);
        start = end + 1;
    }
    if (fields.empty() || fields.front() != kJournalFormat)
        return text.size() < kJournalFormat.size() + 1 &&
                       std::string_view(kJournalFormat).substr(0, text.size()) == text
                   ? JournalState::Partial
                   : JournalState::Foreign;
    if (fields.back() != kJournalEnd)
        return JournalState::Partial;
    if ((fields.size() - 2) % 3 != 0)
        return JournalState::Foreign;
    for (std::size_t i = 1; i + 1 < fields.size(); i += 3) {
        Move move{fields[i + 1], fields[i + 2]};
        if (!IsPlainName(move.from) || !IsPlainName(move.to))
            return JournalState::Foreign;
        if (fields[i] == kOldTag)
            plan.asides.push_back(std::move(move));
        else if (fields[i] == kNewTag)
            plan.placements.push_back(std::move(move));
        else
            return JournalState::Foreign;
    }
    return plan.placements.empty() ? JournalState::Foreign : JournalState::Whole;
}

bool ReadJournal(const std::string& path, std::string& text, std::string& error) {
    InputFile in;
    int nativeError = 0;
    if (!in.Open(path, error, nativeError))
        return false;
    if (in.Size() > kMaxJournalSize) {
        error = "'" + path + "' is not a journal of this program";
        return false;
    }
    text.resize(static_cast<std::size_t>(in.Size()) + 1);
    const long long n = in.Read(text.data(), text.size(), error, nativeError);
    if (n < 0)
        return false;
    text.resize(static_cast<std::size_t>(n));
    return true;
}

// The key file is renamed last, so its new file gone from its own name means
// every new file has its final name.
bool NewSetPlaced(const SwapPlan& plan) {
    const Move& key = plan.placements.back();
    return !PathExists(plan.folder + key.from) && PathExists(plan.folder + key.to);
}

// Puts the new files that took their final names back under their own names,
// then the old files back under theirs, the key file last. Each step looks at
// what is on disk, so undoing an undo that was cut off is safe.
bool Undo(const SwapPlan& plan, std::string& error) {
    const std::string& dir = plan.folder;
    for (std::size_t i = 0; i + 1 < plan.placements.size(); ++i) {
        const Move& placement = plan.placements[i];
        if (PathExists(dir + placement.from) || !PathExists(dir + placement.to))
            continue;
        // An old file not moved aside (yet, or any more) still holds the name.
        const bool oldThere = std::any_of(plan.asides.begin(), plan.asides.end(), [&](const Move& aside) {
            return aside.from == placement.to && !PathExists(dir + aside.to);
        });
        if (!oldThere && !RenameReplacing(dir + placement.to, dir + placement.from, error))
            return false;
    }
    for (auto aside = plan.asides.rbegin(); aside != plan.asides.rend(); ++aside)
        if (PathExists(dir + aside->to) && !RenameReplacing(dir + aside->to, dir + aside->from, error))
            return false;
    return true;
}

bool RemoveAsides(const SwapPlan& plan, std::string& error) {
    bool allGone = true;
    for (const Move& aside : plan.asides) {
        std::string cause;
        if (!RemoveFile(plan.folder + aside.to, cause)) {
            error += (error.empty() ? "" : "; ") + cause;
            allGone = false;
        }
    }
    return allGone;
}

std::string AsideName(const std::string& path, const std::vector<Move>& taken) {
    for (unsigned n = 0;; ++n) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".~%08x", n);
        std::string aside = path.substr(NameStart(path)) + suffix;
        const bool used = std::any_of(taken.begin(), taken.end(), [&](const Move& m) { return m.to == aside; });
        if (!used && !PathExists(path.substr(0, NameStart(path)) + aside))
            return aside;
    }
}

} // namespace

std::string SwapJournalPath(const std::string& keyPath) { return keyPath + std::string(kJournalSuffix); }

bool IsSwapJournalName(std::string_view name) {
    return name.size() > kJournalSuffix.size() && name.substr(name.size() - kJournalSuffix.size()) == kJournalSuffix;
}

bool ReplaceFileSet(const std::vector<std::string>& newFiles, const std::vector<std::string>& finalNames,
                    const std::vector<std::string>& oldFiles, std::string& error,
                    const std::function<void()>& beforeEachStep) {
    if (newFiles.empty() || newFiles.size() != finalNames.size()) {
        error = "internal error: a set swap needs one final name for each new file";
        return false;
    }
    const std::string& keyPath = finalNames.back();
    SwapPlan plan;
    plan.folder = keyPath.substr(0, NameStart(keyPath));
    auto inFolder = [&plan](const std::string& path) {
        return NameStart(path) == plan.folder.size() && path.compare(0, plan.folder.size(), plan.folder) == 0 &&
               IsPlainName(path.substr(plan.folder.size()));
    };

    // The old key file first, so no reader finds it beside new segments.
    std::vector<std::string> oldSet;
    auto addOld = [&oldSet](const std::string& path) {
        if (std::find(oldSet.begin(), oldSet.end(), path) == oldSet.end() && PathExists(path))
            oldSet.push_back(path);
    };
    addOld(keyPath);
    for (const std::string& path : finalNames)
        addOld(path);
    for (const std::string& path : oldFiles)
        addOld(path);
    for (std::size_t i = 0; i < newFiles.size(); ++i) {
        if (!inFolder(newFiles[i]) || !inFolder(finalNames[i])) {
            error = "internal error: '" + newFiles[i] + "' and '" + finalNames[i] + "' are not in one folder";
            return false;
        }
        plan.placements.push_back({newFiles[i].substr(plan.folder.size()), finalNames[i].substr(plan.folder.size())});
    }
    for (const std::string& path : oldSet) {
        const FileFacts facts = QueryFile(path);
        if (!inFolder(path) || (facts.kind == FileKind::Folder && !facts.isLink)) {
            error = "cannot replace '" + path + "': it is a folder";
            return false;
        }
        plan.asides.push_back({path.substr(plan.folder.size()), AsideName(path, plan.asides)});
    }

    auto step = [&beforeEachStep] {
        if (beforeEachStep)
            beforeEachStep();
    };
    const std::string journal = SwapJournalPath(keyPath);
    step();
    {
        OutputFile out;
        const std::string text = JournalText(plan);
        if (!out.CreateNew(journal, error))
            return false;
        if (!out.Append(text.data(), text.size(), error) || !out.Flush(error) || !out.Close(error)) {
            out.Close(error);
            RemoveFileQuietly(journal);
            return false;
        }
    }
    auto undo = [&] {
        std::string cause;
        if (Undo(plan, cause))
            RemoveFileQuietly(journal);
        else
            error += "; the previous set stays as the journal '" + journal + "' describes: " + cause;
        return false;
    };
    const std::string& dir = plan.folder;
    for (const Move& aside : plan.asides) {
        step();
        if (!RenameReplacing(dir + aside.from, dir + aside.to, error))
            return undo();
    }
    for (const Move& placement : plan.placements) {
        step();
        if (!RenameReplacing(dir + placement.from, dir + placement.to, error))
            return undo();
    }
    // The new set is whole under its names: from here on the swap is finished,
    // never undone. What cannot be removed now the next run removes.
    bool allGone = true;
    for (const Move& aside : plan.asides) {
        step();
        std::string cause;
        allGone = RemoveFile(dir + aside.to, cause) && allGone;
    }
    step();
    if (allGone)
        RemoveFileQuietly(journal);
    return true;
}

bool FinishInterruptedSwap(const std::string& journalPath, std::string& error) {
    std::string text;
    if (!ReadJournal(journalPath, text, error))
        return !PathExists(journalPath);
    SwapPlan plan;
    plan.folder = journalPath.substr(0, NameStart(journalPath));
    switch (ParseJournal(text, plan)) {
    case JournalState::Partial:
        // The journal is complete on disk before the first rename: one cut off
        // while it was written means nothing was moved yet.
        return RemoveFile(journalPath, error);
    case JournalState::Foreign:
        error = "'" + journalPath + "' is not a journal of this program";
        return false;
    case JournalState::Whole:
        break;
    }
    if (NewSetPlaced(plan) ? !RemoveAsides(plan, error) : !Undo(plan, error))
        return false;
    return RemoveFile(journalPath, error);
}

} // namespace archive
