#include "ini/ini_lists.h"

#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

namespace {

IniDocument IniOf(std::initializer_list<const char*> lines) {
    QByteArray bytes;
    for (const char* line : lines)
        bytes += QByteArray(line) + "\r\n";
    return IniDocument::FromBytes(bytes);
}

QByteArray Written(const IniDocument& ini) { return ini.ToBytes().mid(3); } // without the byte-order mark

struct TItem {
    QString Name;
    qint64 Size = -1;
    bool Flag = false;
    bool operator==(const TItem&) const = default;
};

std::vector<TItem> ReadItems(const IniDocument& ini, int first) {
    std::vector<TItem> items;
    IniReadNumberedList(ini, "L", "n_", first, [&items](const TIniItemReader& item) {
        items.push_back({item.String("n_"), item.Int64("z_", -1), item.Bool("b_", false)});
    });
    return items;
}

TEST(IniNumberedList, ReadsFromTheFirstNumberUpToTheFirstItemWithoutItsLeadField) {
    struct Case {
        std::initializer_list<const char*> lines;
        int first;
        std::vector<TItem> items;
    };
    const Case cases[] = {
        // Other fields may be missing or unreadable: their defaults.
        {{"[L]", "n_1=a", "z_1=5", "b_1=1", "n_2=b", "z_2=junk", "n_3=", "b_3=$1"},
         1,
         {{"a", 5, true}, {"b", -1, false}, {"", -1, true}}},
        // A gap ends the list, whatever follows it.
        {{"[L]", "n_1=a", "n_3=c"}, 1, {{"a"}}},
        // Counted from 0, an item 0 is needed.
        {{"[l]", "N_0=x", "n_1=y"}, 0, {{"x"}, {"y"}}},
        {{"[L]", "n_1=a"}, 0, {}},
        // Fields of an item without its lead field do not start one.
        {{"[L]", "z_1=4"}, 1, {}},
        {{"[Other]", "n_1=a"}, 1, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadItems(IniOf(c.lines), c.first), c.items) << *c.lines.begin() << " first " << c.first;
}

TEST(IniNumberedList, WritingReplacesTheWholeSectionAndReadsBack) {
    IniDocument ini = IniOf({"[L]", "n_1=old", "n_2=older", "n_3=oldest", "stray=1", "[M]", "k=v"});
    const std::vector<TItem> items{{"a", 7, true}, {"b", -1, false}};
    IniWriteNumberedList(ini, "L", 1, items, [](TIniItemWriter& item, const TItem& element) {
        item.SetString("n_", element.Name);
        if (element.Size >= 0)
            item.SetInteger("z_", element.Size);
        item.SetBool("b_", element.Flag);
    });
    EXPECT_EQ(Written(ini), "[M]\r\nk=v\r\n[L]\r\nn_1=a\r\nz_1=7\r\nb_1=1\r\nn_2=b\r\nb_2=0\r\n");
    EXPECT_EQ(ReadItems(ini, 1), items);

    IniWriteNumberedList(ini, "L", 1, std::vector<TItem>{}, [](TIniItemWriter&, const TItem&) {});
    EXPECT_FALSE(ini.HasSection("L"));
}

TEST(IniNumberedList, StampsGoThroughTheStampRules) {
    IniDocument ini;
    const std::vector<TDateTime> stamps{EncodeDate(2024, 3, 5) + EncodeTime(14, 30, 0, 0)};
    IniWriteNumberedList(ini, "V", 0, stamps,
                         [](TIniItemWriter& item, TDateTime when) { item.SetDateTime("DateTime_", when); });
    EXPECT_EQ(Written(ini), "[V]\r\nDateTime_0=20240305143000\r\n");
    std::vector<TDateTime> read;
    IniReadNumberedList(ini, "V", "DateTime_", 0,
                        [&read](const TIniItemReader& item) { read.push_back(item.DateTime("DateTime_")); });
    EXPECT_EQ(read, stamps);
}

TEST(IniLineList, ReadsTheValuesInFileOrderWhateverTheKeysAreCalled) {
    const IniDocument ini = IniOf({"[E]", "v0=*.tmp", "x=  /Cache/ ", "v1=", "v2=   ", "v3=*.TMP", "[F]", "v0=no"});
    EXPECT_EQ(IniReadLines(ini, "E"), QStringList({"*.tmp", "/Cache/", "*.TMP"}));
    EXPECT_TRUE(IniReadLines(ini, "Missing").isEmpty());
}

TEST(IniLineList, WritesTheLinesThatAreNotBlankAsTheyAreNumberedFromZero) {
    IniDocument ini = IniOf({"[E]", "x=old", "y=older"});
    IniWriteLines(ini, "E", {" a ", "", "  ", "b"});
    EXPECT_EQ(Written(ini), "[E]\r\nv0= a \r\nv1=b\r\n");
    IniWriteLines(ini, "E", {"", " "});
    EXPECT_FALSE(ini.HasSection("E"));
}

} // namespace
