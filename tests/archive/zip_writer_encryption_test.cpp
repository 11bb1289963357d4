#include "archive_test_support.h"

#include <gtest/gtest.h>

using namespace archive_test;

namespace {

class EncryptedArchive : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(fDir / "src/a.txt", std::string(100000, 'a'));
        WriteFile(fDir / "src/sub/b.bin", RandomBytes(70000, 3));
        WriteFile(fDir / "src/sub/empty.txt", "");
    }

    void Write(int level) {
        TZipWriter writer;
        ConfigureAsEngines(writer, Archive(), fDir / "src/", level);
        writer.SetPassword(kPassword);
        writer.FileMasks() = {"*.*"};
        WriteArchive(writer);
    }

    std::string Archive() const { return fDir / "enc.zip"; }

    // Non-ASCII on purpose: the password is used as its UTF-8 bytes.
    const std::string kPassword = "s3cret-пароль";
    TempFolder fDir;
};

} // namespace

TEST_F(EncryptedArchive, FilesAreEncryptedFoldersAreNot) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    for (const int level : {0, 6}) {
        Write(level);
        const PyListing listing = ListWithPython(Archive(), kPassword);
        ASSERT_TRUE(listing.ok) << listing.message;
        ASSERT_EQ(listing.entries.size(), 4u);
        for (const PyEntry& e : listing.entries)
            EXPECT_EQ(e.flags & 0x1, e.name.back() == '/' ? 0 : 1) << e.name;
        EXPECT_FALSE(ListWithPython(Archive(), "wrong").ok);
    }
}

TEST_F(EncryptedArchive, UnzipAndSevenZipNeedThePassword) {
    if (!HasTool("unzip"))
        GTEST_SKIP() << "unzip is not installed (scripts/install-deps.sh installs it)";
    const std::string sevenZip = SevenZipTool();
    if (sevenZip.empty())
        GTEST_SKIP() << "neither 7z nor 7zz is installed (Debian package 7zip)";
    Write(6);
    const CommandResult unzipOk = RunCommand("unzip -t -P " + Quote(kPassword) + " " + Quote(Archive()));
    EXPECT_EQ(unzipOk.exitCode, 0) << unzipOk.output;
    const CommandResult unzipWrong = RunCommand("unzip -t -P wrong " + Quote(Archive()));
    EXPECT_NE(unzipWrong.exitCode, 0) << unzipWrong.output;
    const CommandResult sevenOk = RunCommand(sevenZip + " t -p" + Quote(kPassword) + " " + Quote(Archive()));
    EXPECT_EQ(sevenOk.exitCode, 0) << sevenOk.output;
    const CommandResult sevenWrong = RunCommand(sevenZip + " t -pwrong " + Quote(Archive()));
    EXPECT_NE(sevenWrong.exitCode, 0) << sevenWrong.output;

    const std::string out = fDir / "x";
    ASSERT_EQ(RunCommand("unzip -q -P " + Quote(kPassword) + " " + Quote(Archive()) + " -d " + Quote(out)).exitCode, 0);
    EXPECT_EQ(ReadFile(out + "/sub/b.bin"), ReadFile(fDir / "src/sub/b.bin"));
}

TEST(ZipWriterEncryption, AesIsRefused) {
    TempFolder dir;
    TZipWriter writer;
    writer.SetFileName(dir / "a.zip");
    writer.SetPassword("p");
    writer.SetEncryptionMethod(TZWCryptoAlgorithm::caAES_256);
    EXPECT_THROW(writer.OpenArchive(), EZipWriterError);
    EXPECT_TRUE(fs::is_empty(dir.Path()));
}
