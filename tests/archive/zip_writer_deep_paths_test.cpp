#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>

using namespace archive_test;

namespace {

const std::string kLevel(100, 'd');
constexpr int kDepth = 45; // 45 levels of 101 bytes: past PATH_MAX (4096)

// Makes kDepth nested folders below root with a file at the bottom, going
// down with openat since the whole path is too long for one call.
bool MakeDeepTree(const std::string& root, const std::string& content) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < kDepth && fd >= 0; ++i) {
        const bool made = ::mkdirat(fd, kLevel.c_str(), 0755) == 0;
        const int next = made ? ::openat(fd, kLevel.c_str(), O_RDONLY | O_DIRECTORY) : -1;
        ::close(fd);
        fd = next;
    }
    if (fd < 0)
        return false;
    const int file = ::openat(fd, "deep.txt", O_WRONLY | O_CREAT | O_EXCL, 0644);
    const bool written =
        file >= 0 && ::write(file, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    if (file >= 0)
        ::close(file);
    ::close(fd);
    return written;
}

// Removes what MakeDeepTree made, bottom first, since removing by whole paths cannot reach it.
void RemoveDeepTree(const std::string& root) {
    std::vector<int> fds{::open(root.c_str(), O_RDONLY | O_DIRECTORY)};
    while (fds.back() >= 0)
        fds.push_back(::openat(fds.back(), kLevel.c_str(), O_RDONLY | O_DIRECTORY));
    fds.pop_back();
    if (fds.size() > 1)
        ::unlinkat(fds.back(), "deep.txt", 0);
    for (std::size_t i = fds.size(); i-- > 0;) {
        if (i + 1 < fds.size())
            ::unlinkat(fds[i], kLevel.c_str(), AT_REMOVEDIR);
        ::close(fds[i]);
    }
}

// The folder at the bottom of what MakeDeepTree made, opened with openat; -1 when it is not there.
int OpenDeepBottom(const std::string& root) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < kDepth && fd >= 0; ++i) {
        const int next = ::openat(fd, kLevel.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        fd = next;
    }
    return fd;
}

std::vector<std::string> NamesIn(const std::string& archive) {
    const PyListing listing = ListWithPython(archive);
    EXPECT_TRUE(listing.ok) << listing.message;
    std::vector<std::string> names;
    for (const PyEntry& entry : listing.entries)
        names.push_back(entry.name);
    return names;
}

} // namespace

// Folders and files below a path longer than one system call takes are
// archived like any others, reached in pieces with openat.
TEST(ZipWriterDeepPaths, TreeNestedPastPathMaxIsArchivedWhole) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is needed";
    TempFolder dir;
    fs::create_directories(dir / "src");
    WriteFile(dir / "src/top.txt", "top");
    const std::string content = RandomBytes(70'000, 3);
    ASSERT_TRUE(MakeDeepTree(dir / "src", content));
    struct Cleanup {
        std::string root;
        ~Cleanup() { RemoveDeepTree(root); }
    } cleanup{dir / "src"};

    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", 6);
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);
    EXPECT_TRUE(writer.LeftOutFiles().empty()) << writer.LeftOutFiles().front().message;

    const PyListing listing = ListWithPython(dir / "a.zip");
    ASSERT_TRUE(listing.ok) << listing.message;
    std::vector<std::string> names;
    for (const PyEntry& entry : listing.entries)
        names.push_back(entry.name);
    std::vector<std::string> expected{"top.txt"};
    std::string folder;
    for (int i = 0; i < kDepth; ++i)
        expected.push_back(folder += kLevel + "/");
    expected.push_back(folder + "deep.txt");
    std::sort(names.begin(), names.end());
    std::sort(expected.begin(), expected.end());
    ASSERT_GT(folder.size(), 4096u);
    // Compared by count and depth: the names themselves are kilobytes long.
    std::vector<std::string> missing;
    std::set_difference(expected.begin(), expected.end(), names.begin(), names.end(), std::back_inserter(missing));
    EXPECT_TRUE(missing.empty()) << missing.size() << " missing, the shallowest " << missing.front().size()
                                 << " bytes long";
    EXPECT_EQ(names.size(), expected.size());
    const auto deep = std::find_if(listing.entries.begin(), listing.entries.end(),
                                   [&](const PyEntry& e) { return e.name == folder + "deep.txt"; });
    ASSERT_NE(deep, listing.entries.end());
    EXPECT_EQ(deep->size, content.size());
}

// The writer follows links as the user's own calls do, also where a path is
// too long for one call: a linked folder deep in the tree is archived with
// what it leads to, and the links of the short part are followed as before.
TEST(ZipWriterDeepPaths, LinkedFolderPastPathMaxIsFollowed) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is needed";
    TempFolder dir;
    fs::create_directories(dir / "src");
    WriteFile(dir / "elsewhere/inner/x.txt", "behind the link");
    ASSERT_TRUE(MakeDeepTree(dir / "src", "deep"));
    const int bottom = OpenDeepBottom(dir / "src");
    ASSERT_GE(bottom, 0);
    const std::string target = dir / "elsewhere";
    const bool linked = ::symlinkat(target.c_str(), bottom, "linked") == 0;
    struct Cleanup {
        std::string root;
        int bottom;
        ~Cleanup() {
            ::unlinkat(bottom, "linked", 0);
            ::close(bottom);
            RemoveDeepTree(root);
        }
    } cleanup{dir / "src", bottom};
    ASSERT_TRUE(linked);

    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", 6);
    writer.FileMasks() = {"*.*"};
    WriteArchive(writer);
    EXPECT_TRUE(writer.LeftOutFiles().empty()) << writer.LeftOutFiles().front().message;

    std::string folder;
    for (int i = 0; i < kDepth; ++i)
        folder += kLevel + "/";
    ASSERT_GT(folder.size(), 4096u);
    const std::vector<std::string> names = NamesIn(dir / "a.zip");
    for (const std::string& name : {folder + "deep.txt", folder + "linked/", folder + "linked/inner/",
                                    folder + "linked/inner/x.txt"})
        EXPECT_NE(std::find(names.begin(), names.end(), name), names.end())
            << "missing: the " << name.size() << "-byte name ending in " << name.substr(name.size() - 24);
}
