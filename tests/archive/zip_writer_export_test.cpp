#include "archive_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace archive_test;

// Archives for the external readers when those cannot be run from the test
// itself (the Windows tests under Wine): with NORVANE_ARCHIVE_EXPORT_DIR set,
// each archive is written there with a list of the names it must hold, and
// scripts/check-exported-archives.sh tests them with unzip, 7zz and zipfile.
TEST(ZipWriterExport, ArchivesWithUtf8NamesForTheExternalReaders) {
    const char* exportDir = std::getenv("NORVANE_ARCHIVE_EXPORT_DIR");
    if (!exportDir || !*exportDir)
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
    const std::vector<std::string> expected = {"report.txt", "Привет.txt", "日本語/", "日本語/ファイル.bin",
                                               "Ünïcödé folder/", "Ünïcödé folder/naïve café.txt",
                                               "emoji 😀.txt"};
    struct Variant {
        std::string name;
        int level;
        std::string password;
    };
    for (const Variant& v : std::vector<Variant>{{"stored", 0, ""}, {"deflated", 6, ""}, {"encrypted", 6, "pw"}}) {
        SCOPED_TRACE(v.name);
        const std::string archive = std::string(exportDir) + "/" + v.name + ".zip";
        TZipWriter writer;
        ConfigureAsEngines(writer, archive, dir / "src/", v.level);
        writer.FileMasks() = {"*.*"};
        if (!v.password.empty())
            writer.SetPassword(v.password);
        WriteArchive(writer);
        std::string list;
        for (const std::string& name : expected)
            list += name + "\n";
        WriteFile(archive + ".names", list);
        WriteFile(archive + ".password", v.password);
        ASSERT_FALSE(ReadFile(archive).empty());
    }
}
