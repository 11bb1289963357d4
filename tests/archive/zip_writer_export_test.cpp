#include "archive_test_support.h"

#include <gtest/gtest.h>

using namespace archive_test;

// Archives for the external readers when those cannot be run from the test
// itself (the Windows tests under Wine): with NORVANE_ARCHIVE_EXPORT_DIR set,
// each archive is copied there with the names and contents it must hold, and
// scripts/check-exported-archives.sh tests them with unzip, 7zz and zipfile.
TEST(ZipWriterExport, ArchivesWithUtf8NamesForTheExternalReaders) {
    if (ExportFolder().empty())
        GTEST_SKIP() << "NORVANE_ARCHIVE_EXPORT_DIR is not set (scripts/test-windows.sh sets it)";
    TempFolder dir;
    const std::vector<std::pair<std::string, std::string>> files = {
        {"report.txt", std::string(5000, 'r')},
        {"Привет.txt", "unicode"},
        {"日本語/ファイル.bin", RandomBytes(200'000, 7)},
        {"Ünïcödé folder/naïve café.txt", "accents"},
        {"emoji 😀.txt", "four-byte UTF-8"},
    };
    for (const auto& [name, bytes] : files)
        WriteFile(dir / ("src/" + name), bytes);
    std::vector<ExpectedEntry> expected = {{"日本語/", ""}, {"Ünïcödé folder/", ""}};
    for (const auto& [name, bytes] : files)
        expected.push_back({name, bytes});
    struct Variant {
        std::string name;
        int level;
        std::string password;
        TZip64Mode zip64;
    };
    // Zip64 records on every entry stand in for the archives past 4 GiB,
    // which take far too long to make inside Wine.
    const std::vector<Variant> variants = {{"stored", 0, "", TZip64Mode::zmAuto},
                                           {"deflated", 6, "", TZip64Mode::zmAuto},
                                           {"encrypted", 6, "pw", TZip64Mode::zmAuto},
                                           {"zip64 stored", 0, "", TZip64Mode::zmAlways},
                                           {"zip64 deflated", 6, "", TZip64Mode::zmAlways},
                                           {"zip64 encrypted", 6, "pw", TZip64Mode::zmAlways}};
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        const std::string archive = dir / (v.name + ".zip");
        TZipWriter writer;
        ConfigureAsEngines(writer, archive, dir / "src/", v.level);
        writer.FileMasks() = {"*.*"};
        writer.SetZip64Mode(v.zip64);
        if (!v.password.empty())
            writer.SetPassword(v.password);
        WriteArchive(writer);
        const std::string bytes = ReadFile(archive);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(bytes.find("PK\x06\x06") != std::string::npos, v.zip64 == TZip64Mode::zmAlways)
            << "Zip64 end record";
        ExportForExternalReaders(archive, expected, v.password);
    }
}
