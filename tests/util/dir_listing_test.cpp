#include "os/dir_listing.h"

#include "test_env.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Expected {
    os::EntryKind kind;
    std::int64_t size;
};

std::string Native(const QString& path) { return path.toStdString(); }

// Long names make a few thousand entries span many reads of the folder, so an
// entry lost or repeated at the edge of a read shows here; the scanner would
// otherwise take a lost storage entry for one to copy and a lost source entry
// for one to delete.
TEST(DirListing, AFolderFarLargerThanOneReadReportsEveryEntryOnce) {
    TestSandbox sandbox;
    const std::string root = Native(sandbox.file("big"));
    ASSERT_EQ(::mkdir(root.c_str(), 0755), 0);
    std::map<std::string, Expected> expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = std::to_string(i) + "_" + std::string(200, static_cast<char>('a' + i % 26));
        const std::string path = root + "/" + name;
        switch (i % 5) {
        case 0:
            ASSERT_EQ(::mkdir(path.c_str(), 0755), 0);
            expected[name] = {os::EntryKind::Folder, 0};
            break;
        case 1:
            ASSERT_EQ(::symlink("nowhere", path.c_str()), 0);
            expected[name] = {os::EntryKind::SymLink, 7};
            break;
        default: {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
            ASSERT_GE(fd, 0);
            const std::string bytes(static_cast<std::size_t>(i % 17), 'x');
            ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
            ::close(fd);
            expected[name] = {os::EntryKind::File, static_cast<std::int64_t>(bytes.size())};
        }
        }
    }

    std::map<std::string, Expected> seen;
    int repeated = 0;
    const int error = os::ListFolder(root, [&](const os::DirEntry& entry) {
        EXPECT_TRUE(entry.timesKnown) << entry.name;
        if (!seen.emplace(std::string(entry.name), Expected{entry.kind, entry.size}).second)
            ++repeated;
        return true;
    });
    EXPECT_EQ(error, 0);
    EXPECT_EQ(repeated, 0);
    ASSERT_EQ(seen.size(), expected.size());
    for (const auto& [name, want] : expected) {
        const auto found = seen.find(name);
        ASSERT_NE(found, seen.end()) << name;
        EXPECT_EQ(found->second.kind, want.kind) << name;
        EXPECT_EQ(found->second.size, want.size) << name;
    }
}

TEST(DirListing, AnEmptyFolderReportsNothing) {
    TestSandbox sandbox;
    const std::string root = Native(sandbox.file("empty"));
    ASSERT_EQ(::mkdir(root.c_str(), 0755), 0);
    int entries = 0;
    EXPECT_EQ(os::ListFolder(root + "/", [&](const os::DirEntry&) { return ++entries, true; }), 0);
    EXPECT_EQ(entries, 0);
}

TEST(DirListing, TheVisitorStopsTheListing) {
    TestSandbox sandbox;
    for (int i = 0; i < 50; ++i)
        sandbox.writeFile(QString("stop/%1").arg(i), "x");
    int entries = 0;
    EXPECT_EQ(os::ListFolder(Native(sandbox.file("stop")), [&](const os::DirEntry&) { return ++entries < 3; }), 0);
    EXPECT_EQ(entries, 3);
}

TEST(DirListing, AFolderThatCannotBeOpenedGivesTheSystemsReason) {
    TestSandbox sandbox;
    sandbox.writeFile("plain.txt", "x");
    const auto never = [](const os::DirEntry&) {
        ADD_FAILURE() << "no entry expected";
        return true;
    };
    EXPECT_EQ(os::ListFolder(Native(sandbox.file("missing")), never), ENOENT);
    EXPECT_EQ(os::ListFolder(Native(sandbox.file("plain.txt")), never), ENOTDIR);
    if (::geteuid() != 0) {
        const std::string locked = Native(sandbox.file("locked"));
        ASSERT_EQ(::mkdir(locked.c_str(), 0), 0);
        EXPECT_EQ(os::ListFolder(locked, never), EACCES);
        ::chmod(locked.c_str(), 0755);
    }
}

} // namespace
