#include "archive_test_support.h"

#include "archive/file_selection.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace archive_test;

namespace {

std::vector<std::string> StoredNames(const std::string& base, const std::vector<std::string>& exclusions) {
    archive::SelectionRules rules;
    rules.baseDir = base;
    rules.fileMasks = {"*.*"};
    rules.exclusionMasks = exclusions;
    const std::vector<archive::SelectedItem> items =
        archive::SelectFiles(rules, [](const std::string&, const std::string&) { return false; }, [] { return false; });
    std::vector<std::string> names;
    for (const archive::SelectedItem& item : items)
        names.push_back(item.storedName);
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

// A folder exclusion written with "/" excludes the folder on every platform,
// also where the native separator is "\" (and there "\" works too).
TEST(FileSelection, FolderExclusionWithEitherSeparator) {
    TempFolder dir;
    WriteFile(dir / "src/keep.txt", "k");
    WriteFile(dir / "src/sub/inner/x.txt", "x");
    WriteFile(dir / "src/other/sub/y.txt", "y");
    std::vector<std::vector<std::string>> exclusions = {{"sub/"}, {"sub"}, {"sub/inner"}};
#ifdef _WIN32
    exclusions.push_back({"sub\\"});
    exclusions.push_back({"sub\\inner"});
#endif
    const std::string base = dir / "src/";
    for (const std::vector<std::string>& exclusion : exclusions) {
        SCOPED_TRACE(exclusion.front());
        const std::vector<std::string> names = StoredNames(base, exclusion);
        EXPECT_EQ(std::count(names.begin(), names.end(), "sub/inner/x.txt"), 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), "keep.txt"), 1);
        if (exclusion.front() != "sub") {
            EXPECT_EQ(std::count(names.begin(), names.end(), "other/sub/y.txt"), 1);
        }
    }
}
