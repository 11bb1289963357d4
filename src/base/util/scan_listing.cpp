#include "util/scan_listing.h"

#include "util/native_path.h"

#include <algorithm>

std::string TLumo_ScanListing::FolderPath(std::uint32_t folder) const {
    // Names from the folder up to the root, then joined from the root down.
    std::vector<std::uint32_t> chain;
    while (folder != 0) {
        chain.push_back(folder);
        folder = Folders[folder].Parent;
    }
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        path += NameOf(Entries[Folders[*it].SelfEntry]);
        path += '/';
    }
    return path;
}

std::string TLumo_ScanListing::RelativePath(std::uint32_t entry) const {
    const TLumo_ListedEntry& e = Entries[entry];
    std::string path = FolderPath(e.Folder);
    path += NameOf(e);
    return path;
}

QString TLumo_ScanListing::RelativePathText(std::uint32_t entry) const { return PathFromNative(RelativePath(entry)); }

std::uint32_t TLumo_ScanListing::FolderOfEntry(std::uint32_t entry) const {
    // Folders are numbered in the order of their entries, so the table is sorted by SelfEntry.
    const auto it = std::lower_bound(Folders.begin() + 1, Folders.end(), entry,
                                     [](const TLumo_ListedFolder& f, std::uint32_t e) { return f.SelfEntry < e; });
    return static_cast<std::uint32_t>(it - Folders.begin());
}

void TLumo_ScanListing::Clear() {
    std::vector<TLumo_ListedFolder>().swap(Folders);
    std::vector<TLumo_ListedEntry>().swap(Entries);
    std::string().swap(Names);
    FullSize = 0;
    Failures.clear();
    Leftovers.clear();
}
