#include "archive/file_selection.h"

#include "archive/archive_output.h"
#include "archive/set_swap.h"
#include "archive/writer_leftovers.h"

#include <algorithm>
#include <unordered_set>

namespace archive {

namespace {

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// On Windows a mask may be written with either separator ("sub/" excludes sub\).
bool SameChar(char maskChar, char textChar) {
    return Fold(maskChar) == Fold(textChar) || (IsSeparator(maskChar) && IsSeparator(textChar));
}

bool MatchFrom(std::string_view mask, std::string_view text) {
    std::size_t m = 0, t = 0;
    std::size_t starMask = std::string_view::npos, starText = 0;
    while (t < text.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = ++m;
            starText = t;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            ++t;
            while (t < text.size() && IsContinuationByte(text[t]))
                ++t;
        } else if (m < mask.size() && SameChar(mask[m], text[t])) {
            ++m;
            ++t;
        } else if (starMask != std::string_view::npos) {
            m = starMask;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

std::size_t LastSeparator(std::string_view path) {
    for (std::size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1]))
            return i - 1;
    return std::string_view::npos;
}

bool HasSeparator(std::string_view s) { return LastSeparator(s) != std::string_view::npos; }

std::string WithTrailingSeparator(std::string path) {
    if (!path.empty() && !IsSeparator(path.back()))
        path += kSeparator;
    return path;
}

// Length of the root of an absolute path: "/" here; "C:\" or "\\server\share\" on Windows.
std::size_t RootLength(std::string_view path) {
#ifdef _WIN32
    if (path.size() >= 2 && path[1] == ':')
        return path.size() >= 3 && IsSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        std::size_t i = 2;
        for (int part = 0; part < 2 && i < path.size(); ++part) {
            while (i < path.size() && !IsSeparator(path[i]))
                ++i;
            if (i < path.size())
                ++i;
        }
        return i;
    }
#endif
    std::size_t n = 0;
    while (n < path.size() && IsSeparator(path[n]))
        ++n;
    return n;
}

bool StartsWithPath(std::string_view path, std::string_view prefix) {
    if (path.size() < prefix.size())
        return false;
#ifdef _WIN32
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char a = path[i], b = prefix[i];
        if (IsSeparator(a) && IsSeparator(b))
            continue;
        if (Fold(a) != Fold(b))
            return false;
    }
    return true;
#else
    return path.substr(0, prefix.size()) == prefix;
#endif
}

class Selector {
public:
    Selector(const SelectionRules& rules, const FolderFailureHandler& onFolderFailure,
             const std::function<bool()>& stopRequested)
        : fRules(rules), fOnFolderFailure(onFolderFailure), fStopRequested(stopRequested),
          fBase(rules.baseDir.empty() ? std::string() : WithTrailingSeparator(rules.baseDir)) {}

    std::vector<SelectedItem> Run() {
        for (const std::string& mask : fRules.fileMasks) {
            if (fStopRequested && fStopRequested())
                break;
            AddMask(mask);
        }
        return std::move(fItems);
    }

private:
    void AddMask(const std::string& mask) {
        if (mask.empty())
            return;
        if (IsAbsolutePath(mask) && !HasWildcards(mask)) {
            const FileFacts facts = QueryFile(mask);
            if (facts.kind != FileKind::Missing && facts.kind != FileKind::Folder)
                Consider(mask, LastSeparator(mask) == std::string::npos ? mask : mask.substr(LastSeparator(mask) + 1),
                         facts);
            return;
        }
        const std::size_t split = LastSeparator(mask);
        std::string folder = split == std::string::npos ? std::string() : mask.substr(0, split + 1);
        std::string pattern = split == std::string::npos ? mask : mask.substr(split + 1);
        if (pattern.empty())
            pattern = "*";
        if (!IsAbsolutePath(folder))
            folder.insert(0, fBase);
        if (folder.empty())
            folder = std::string(".") + kSeparator;
        folder = WithTrailingSeparator(folder);
        Walk(folder, pattern, QueryFile(folder));
    }

    // True for a folder already being walked further up the current path.
    bool IsOnCurrentPath(const FileFacts& facts) const {
        return facts.fileId != 0 && std::any_of(fOpenFolders.begin(), fOpenFolders.end(), [&](const FileFacts& open) {
                   return open.device == facts.device && open.fileId == facts.fileId;
               });
    }

    // False when the folder could not be listed.
    bool Walk(const std::string& folder, const std::string& pattern, const FileFacts& self) {
        fOpenFolders.push_back(self);
        const bool listed = WalkContent(folder, pattern);
        fOpenFolders.pop_back();
        return listed;
    }

    bool WalkContent(const std::string& folder, const std::string& pattern) {
        if (fStopRequested && fStopRequested())
            return true;
        std::vector<FolderItem> items;
        std::string error;
        while (!ListFolder(folder, items, error)) {
            if (!fOnFolderFailure || !fOnFolderFailure(folder, error))
                return false;
        }
        std::sort(items.begin(), items.end(), [](const FolderItem& a, const FolderItem& b) { return a.name < b.name; });
        for (const FolderItem& item : items) {
            if (item.facts.kind != FileKind::Folder && MatchesMask(pattern, item.name))
                Consider(folder + item.name, item.name, item.facts);
        }
        if (!fRules.recurse)
            return true;
        for (const FolderItem& item : items) {
            if (item.facts.kind != FileKind::Folder)
                continue;
            // A link to a folder is archived with its content, as the folder
            // would be; where the platform cannot tell folders apart it is not followed.
            if (item.facts.isLink && item.facts.fileId == 0)
                continue;
            const std::string path = folder + item.name;
            if (IsOnCurrentPath(item.facts)) {
                LeaveOutLoop(path, item.name, item.facts);
                continue;
            }
            const std::size_t before = fItems.size();
            if (!Consider(path, item.name, item.facts) || Walk(path + kSeparator, pattern, item.facts))
                continue;
            // Left out and reported: stored empty, the folder would restore
            // as if it had nothing in it.
            if (fItems.size() > before && fItems[before].path == path)
                fItems.erase(fItems.begin() + static_cast<std::ptrdiff_t>(before));
        }
        return true;
    }

    void LeaveOutLoop(const std::string& path, const std::string& name, const FileFacts& facts) {
        if (IsExcluded(path, name, true) || !fSeen.insert(path).second)
            return;
        SelectedItem item{path, StoredNameOf(path, fRules.baseDir, true, fRules.storePath), true, facts,
                          "it leads back to a folder that contains it"};
        fItems.push_back(std::move(item));
    }

    // Adds the entry unless excluded; returns false when excluded.
    bool Consider(const std::string& path, const std::string& name, const FileFacts& facts) {
        const bool isFolder = facts.kind == FileKind::Folder;
        if (IsExcluded(path, name, isFolder))
            return false;
        if (fSeen.insert(path).second)
            fItems.push_back({path, StoredNameOf(path, fRules.baseDir, isFolder, fRules.storePath), isFolder, facts, {}});
        return true;
    }

    bool IsExcluded(const std::string& path, const std::string& name, bool isFolder) const {
        // The writer's own files, of this run or of one that was killed, are never data.
        if (!isFolder && (IsWriterTemporaryName(name) || IsSwapJournalName(name)))
            return true;
        if (!fRules.archivePath.empty() &&
            (path == fRules.archivePath ||
             StartsWithPath(path, ArchiveOutput::TemporaryPrefix(fRules.archivePath))))
            return true;
        for (const std::string& mask : fRules.exclusionMasks) {
            if (mask.empty())
                continue;
            if (!HasSeparator(mask)) {
                if (MatchesMask(mask, name))
                    return true;
                continue;
            }
            std::string subject = path;
            if (!IsAbsolutePath(mask)) {
                if (!fBase.empty() && StartsWithPath(path, fBase))
                    subject = path.substr(fBase.size());
                else
                    subject = path.substr(RootLength(path));
            }
            if (MatchesMask(mask, subject) || (isFolder && MatchesMask(mask, subject + kSeparator)))
                return true;
        }
        return false;
    }

    const SelectionRules& fRules;
    const FolderFailureHandler& fOnFolderFailure;
    const std::function<bool()>& fStopRequested;
    const std::string fBase;
    std::vector<SelectedItem> fItems;
    std::unordered_set<std::string> fSeen;
    std::vector<FileFacts> fOpenFolders; // from the mask's folder down to the one being listed
};

} // namespace

bool MatchesMask(std::string_view mask, std::string_view text) {
    if (mask == "*.*" || mask == "*")
        return true;
    return MatchFrom(mask, text);
}

bool HasWildcards(std::string_view mask) { return mask.find_first_of("*?") != std::string_view::npos; }

bool IsAbsolutePath(std::string_view path) {
#ifdef _WIN32
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && IsSeparator(path[0]));
#else
    return !path.empty() && path[0] == '/';
#endif
}

std::string StoredNameOf(const std::string& path, const std::string& baseDir, bool isFolder, TZWStorePath storePath) {
    std::string name;
    const std::string base = baseDir.empty() ? std::string() : WithTrailingSeparator(baseDir);
    switch (storePath) {
    case TZWStorePath::spNoPath: {
        const std::size_t split = LastSeparator(path);
        name = split == std::string::npos ? path : path.substr(split + 1);
        break;
    }
    case TZWStorePath::spRelativePath:
        if (!base.empty() && StartsWithPath(path, base)) {
            name = path.substr(base.size());
            break;
        }
        [[fallthrough]];
    case TZWStorePath::spFullPath:
    case TZWStorePath::spFullPathWithDrive:
        name = path.substr(RootLength(path));
        break;
    }
#ifdef _WIN32
    std::replace(name.begin(), name.end(), '\\', '/');
#endif
    if (isFolder && (name.empty() || name.back() != '/'))
        name += '/';
    return name;
}

EncodedName EncodeStoredName(const std::string& name) {
    bool ascii = true;
    for (const char c : name)
        ascii = ascii && (static_cast<unsigned char>(c) < 0x80);
    if (ascii)
        return {name, false};
    // Validate UTF-8: lead byte, then the right number of continuation bytes.
    std::size_t i = 0;
    while (i < name.size()) {
        const auto c = static_cast<unsigned char>(name[i]);
        std::size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 9;
        if (extra == 9 || (extra == 1 && c < 0xC2) || i + extra >= name.size() + (extra ? 0 : 1))
            return {name, false};
        for (std::size_t k = 1; k <= extra; ++k)
            if (!IsContinuationByte(name[i + k]))
                return {name, false};
        i += extra + 1;
    }
    return {name, true};
}

std::vector<SelectedItem> SelectFiles(const SelectionRules& rules, const FolderFailureHandler& onFolderFailure,
                                      const std::function<bool()>& stopRequested) {
    return Selector(rules, onFolderFailure, stopRequested).Run();
}

} // namespace archive
