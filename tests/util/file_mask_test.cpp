#include "util/file_mask.h"

#include <gtest/gtest.h>

namespace {

struct TMaskCase {
    const char* name;
    const char* mask;
    bool expected;
};

// Names and masks are UTF-8 so that non-ASCII cases can sit in the same table.
const TMaskCase kCases[] = {
    // Letter case and extensions.
    {"A.TMP", "*.tmp", true},
    {"b.Tmp", "*.tmp", true},
    {".tmp", "*.tmp", true},
    {"tmp", "*.tmp", false},
    {"file.tmp.bak", "*.tmp", false},
    {"FILE.BAK.old", "*.bak", false},
    {"thumbs.db", "THUMBS.DB", true},
    {"readme", "*.*", false},
    {"doc.~tmp", "*.~*", true},
    {"file~1.doc", "*.~*", false},
    // Folder test names end with the separator: only masks that allow for it match.
    {"x.tmp/", "*.tmp", false},
    {"x.tmp/", "x.tmp/", true},
    {"X.TMP/", "x.tmp*", true},
    {"x.tmp/", "*", true},
    {"cache/", "cache", false},
    // "?" and "*".
    {"a", "?", true},
    {"", "?", false},
    {"ab", "?", false},
    {"", "*", true},
    {"", "", true},
    {"a", "", false},
    {"abc", "a*c", true},
    {"ac", "a*c", true},
    {"ab", "a*c", false},
    {"aXbXc", "a*b*c", true},
    {"abcbc", "*bc", true},
    {"abcb", "*bc", false},
    {"mississippi", "m*iss*ppi", true},
    {"mississippi", "*sip*", true},
    {"mississippi", "*sipx*", false},
    {"abc", "a**c", true},
    {"abc", "?*?", true},
    {"a", "?*?", false},
    // Sets, ranges and negation.
    {"b", "[abc]", true},
    {"d", "[abc]", false},
    {"B", "[abc]", true},
    {"D", "[a-f]", true},
    {"d", "[A-F]", true},
    {"g", "[a-f]", false},
    {"x", "[!a-f]", true},
    {"c", "[!a-f]", false},
    {"C", "[!a-f]", false},
    {"file1.log", "file[0-9].log", true},
    {"filex.log", "file[0-9].log", false},
    {"file12.log", "file[0-9].log", false},
    {"a-b", "a[-]b", true},
    {"a-b", "a[x-]b", true},
    {"q.txt", "[a-cq].txt", true},
    {"d.txt", "[a-cq].txt", false},
    // A "[" that opens no usable set stands for itself.
    {"[x", "[x", true},
    {"ax", "[x", false},
    {"[]", "[]", true},
    {"[!", "[!", true},
    // Backslash and slash are ordinary characters.
    {"a\\b", "a\\b", true},
    {"ab", "a\\b", false},
    {"a/b", "a?b", true},
    // Beyond ASCII.
    {"\xc3\xa9t\xc3\xa9.TXT", "\xc3\x89T\xc3\x89.txt", true},
    {"\xd0\x9f\xd0\xb0\xd0\xbf\xd0\xba\xd0\xb0", "\xd0\xbf\xd0\x90*", true},
    {"\xf0\x9f\x98\x80.txt", "?.txt", true},
    {"\xf0\x9f\x98\x80.txt", "??.txt", false},
};

} // namespace

TEST(FileMask, MatchesTheUsualMaskRulesIgnoringCase) {
    for (const TMaskCase& c : kCases) {
        const QString name = QString::fromUtf8(c.name);
        const QString mask = QString::fromUtf8(c.mask);
        EXPECT_EQ(MatchesMask(name, mask), c.expected) << "name '" << c.name << "' mask '" << c.mask << "'";
    }
}

TEST(FileMask, CompiledMaskGivesTheSameAnswerEveryTime) {
    const TFileMask mask(QStringLiteral("*.t[!x]p"));
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(mask.Matches("a.tmp"));
        EXPECT_TRUE(mask.Matches("A.TMP"));
        EXPECT_FALSE(mask.Matches("a.txp"));
        EXPECT_FALSE(mask.Matches("a.tmp/"));
    }
}

TEST(FileMask, LongNameAgainstManyStarsStaysCorrect) {
    const QString name = QString(500, QLatin1Char('a')) + "b";
    EXPECT_TRUE(MatchesMask(name, "*a*a*a*a*b"));
    EXPECT_FALSE(MatchesMask(name, "*a*a*a*a*c"));
}
