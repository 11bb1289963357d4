#include "ini/ini_document.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

QByteArray Bom() { return QByteArray("\xEF\xBB\xBF", 3); }

TEST(IniDocument, ReadsWithAndWithoutBomAndAnyLineEnd) {
    const QByteArray body = "[Main]\nLanguage=Eng\n[Other]\r\nKey=a=b\r\n";
    for (const QByteArray& bytes : {body, Bom() + body}) {
        const IniDocument ini = IniDocument::FromBytes(bytes);
        EXPECT_EQ(ini.Value("Main", "Language"), "Eng");
        // The value is everything after the first "=".
        EXPECT_EQ(ini.Value("Other", "Key"), "a=b");
        EXPECT_EQ(ini.SectionNames(), QStringList({"Main", "Other"}));
    }
}

TEST(IniDocument, NamesCompareWithoutRegardToCase) {
    const IniDocument ini = IniDocument::FromBytes("[SyncList]\nSNK1=Docs\n");
    EXPECT_EQ(ini.Value("synclist", "snk1"), "Docs");
    EXPECT_TRUE(ini.HasSection("SYNCLIST"));
    EXPECT_TRUE(ini.HasKey("SyncList", "Snk1"));
    EXPECT_FALSE(ini.HasKey("SyncList", "SNK2"));
    EXPECT_EQ(ini.Value("SyncList", "SNK2", "-"), "-");
}

TEST(IniDocument, WritesBomAndCrLf) {
    IniDocument ini;
    ini.SetValue("Main", "A", "1");
    ini.SetValue("Main", "B", "2");
    ini.SetValue("Second", "C", "3");
    EXPECT_EQ(ini.ToBytes(), Bom() + "[Main]\r\nA=1\r\nB=2\r\n[Second]\r\nC=3\r\n");
}

TEST(IniDocument, ExistingKeyKeepsItsPlaceNewKeyGoesToEndOfItsSection) {
    IniDocument ini = IniDocument::FromBytes("[S]\nA=1\nB=2\n\n[T]\nX=9\n");
    ini.SetValue("s", "a", "changed");
    ini.SetValue("S", "C", "3");
    EXPECT_EQ(ini.ToBytes(), Bom() + "[S]\r\nA=changed\r\nB=2\r\nC=3\r\n\r\n[T]\r\nX=9\r\n");
}

TEST(IniDocument, UntouchedLinesAreWrittenBackByteForByte) {
    // Comments, junk without "=", invalid UTF-8, odd spacing: all kept.
    const QByteArray original = "; comment\n[Main]\n  Key = spaced value \njunk line\n\xFF\xFE\x01=bin\n[Z]\nk=v";
    IniDocument ini = IniDocument::FromBytes(original);
    ini.SetValue("Z", "new", "1");
    QByteArray expected = original;
    expected.replace("\n", "\r\n");
    expected = Bom() + expected + "\r\nnew=1\r\n";
    EXPECT_EQ(ini.ToBytes(), expected);
    EXPECT_EQ(ini.Value("Main", "Key"), " spaced value ");
}

TEST(IniDocument, DeleteKeyAndEraseSection) {
    IniDocument ini = IniDocument::FromBytes("[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n");
    ini.DeleteKey("A", "X");
    ini.EraseSection("b");
    EXPECT_EQ(ini.Keys("A"), QStringList({"y"}));
    EXPECT_FALSE(ini.HasSection("B"));
    EXPECT_EQ(ini.ToBytes(), Bom() + "[A]\r\ny=2\r\n[C]\r\nw=4\r\n");
    // Writing to an erased section appends it at the end of the file.
    ini.SetValue("B", "z", "5");
    EXPECT_EQ(ini.SectionNames(), QStringList({"A", "C", "B"}));
}

TEST(IniDocument, RepeatedSectionsMergeAndTheFirstKeyWins) {
    const IniDocument ini = IniDocument::FromBytes("[A]\nk=1\n[B]\n[a]\nk=2\nm=3\n");
    EXPECT_EQ(ini.Value("A", "k"), "1");
    EXPECT_EQ(ini.Value("A", "m"), "3");
    EXPECT_EQ(ini.Keys("A"), QStringList({"k", "m"}));
    ASSERT_EQ(ini.Values("A").size(), 2u);
}

TEST(IniDocument, BinaryJunkNeverBreaksReading) {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk.append(static_cast<char>((i * 7919) % 256));
    const IniDocument ini = IniDocument::FromBytes("[Main]\nA=1\n" + junk + "\n[Next]\nB=2\n");
    EXPECT_EQ(ini.Value("Main", "A"), "1");
    EXPECT_EQ(ini.Value("Next", "B"), "2");
}

TEST(IniDocument, KeysBeforeTheFirstSectionBelongToNoSection) {
    const IniDocument ini = IniDocument::FromBytes("A=1\n[S]\nB=2\n");
    EXPECT_FALSE(ini.HasKey("S", "A"));
    EXPECT_EQ(ini.Value("S", "B"), "2");
}

} // namespace

namespace {

TEST(IniDocument, LineBreaksInAValueNeverSplitTheLine) {
    IniDocument ini;
    ini.SetValue("S", "Title", "two\r\nlines\nand\rmore");
    ini.SetValue("S", "Next", "1");
    const IniDocument back = IniDocument::FromBytes(ini.ToBytes());
    EXPECT_EQ(back.Value("S", "Title"), "two lines and more");
    EXPECT_EQ(back.Keys("S"), QStringList({"Title", "Next"}));
}

// Every CR and LF of the written file belongs to a CR LF line end.
bool OnlyCrLfLineEnds(const QByteArray& bytes) {
    for (const QByteArray& line : bytes.split('\n'))
        if (line.chopped(line.endsWith('\r') ? 1 : 0).contains('\r'))
            return false;
    return bytes.isEmpty() || bytes.endsWith("\r\n");
}

TEST(IniDocument, LineBreaksInSectionAndKeyNamesNeverSplitALine) {
    for (const QString& uid : {QStringLiteral("SNK1\r2"), QStringLiteral("SNK1\n2"), QStringLiteral("SNK1\r\n2")}) {
        SCOPED_TRACE(QString(uid).replace("\r", "<CR>").replace("\n", "<LF>").toStdString());
        IniDocument ini = IniDocument::FromBytes("[SyncList]\nSNK0=Zero\n[SNK0_st]\nk=0\n");
        ini.SetValue("SyncList", uid, "Odd");
        ini.SetValue(uid + "_st", "Key\nName", "v");
        ini.SetValue("SyncList", "SNK3", "Three");
        ini.SetValue("SNK3_st", "k", "3");
        // The name with its break and the name with a space are one name.
        EXPECT_EQ(ini.Value(uid + "_st", "Key\nName"), "v");
        EXPECT_EQ(ini.Value("SNK1 2_st", "Key Name"), "v");

        const QByteArray bytes = ini.ToBytes();
        EXPECT_TRUE(OnlyCrLfLineEnds(bytes)) << bytes.toStdString();
        const IniDocument back = IniDocument::FromBytes(bytes);
        EXPECT_EQ(back.SectionNames(), QStringList({"SyncList", "SNK0_st", "SNK1 2_st", "SNK3_st"}));
        EXPECT_EQ(back.Keys("SyncList"), QStringList({"SNK0", "SNK1 2", "SNK3"}));
        EXPECT_EQ(back.Value("SyncList", "SNK3"), "Three");
        EXPECT_EQ(back.Value("SNK1 2_st", "Key Name"), "v");
        EXPECT_EQ(back.Value("SNK3_st", "k"), "3");
    }
}

TEST(IniDocument, ALoneCarriageReturnInsideALineReadsAsASpace) {
    // Other readers end a line at a lone CR; here it never splits one.
    IniDocument ini = IniDocument::FromBytes("[Sync\rList]\nSNK\r1=Odd\rtitle\n; note\rhere\n[Next]\nk=1\n");
    EXPECT_EQ(ini.Value("Sync List", "SNK 1"), "Odd title");
    EXPECT_EQ(ini.Value("Sync\rList", "SNK\r1"), "Odd title");
    EXPECT_EQ(ini.Value("Next", "k"), "1");
    ini.SetValue("Sync List", "SNK 2", "Two");
    EXPECT_EQ(ini.ToBytes(), Bom() + "[Sync List]\r\nSNK 1=Odd title\r\n; note here\r\nSNK 2=Two\r\n[Next]\r\nk=1\r\n");
}

TEST(IniDocument, IsMoveOnlyAndAMovedDocumentStaysWhole) {
    EXPECT_FALSE(std::is_copy_constructible_v<IniDocument>);
    EXPECT_FALSE(std::is_copy_assignable_v<IniDocument>);
    static_assert(std::is_nothrow_move_constructible_v<IniDocument>);
    static_assert(std::is_nothrow_move_assignable_v<IniDocument>);

    QByteArray text;
    for (int i = 0; i < 200; ++i)
        text += "[S" + QByteArray::number(i) + "]\nk=" + QByteArray::number(i) + "\n";
    IniDocument original = IniDocument::FromBytes(text);
    original.SetValue("S7", "k", "seven"); // decodes one section before the move

    IniDocument moved(std::move(original));
    IniDocument assigned = IniDocument::FromBytes("[Old]\nx=1\n");
    assigned = std::move(moved);
    // The section index still finds every section of the moved lists.
    EXPECT_FALSE(assigned.HasSection("Old"));
    EXPECT_EQ(assigned.Value("S7", "k"), "seven");
    EXPECT_EQ(assigned.Value("S199", "k"), "199");
    assigned.SetValue("S100", "k", "hundred");
    assigned.EraseSection("S0");
    assigned.SetValue("New", "n", "1");
    EXPECT_EQ(assigned.SectionNames().size(), 200);
    EXPECT_EQ(assigned.SectionNames().first(), "S1");
    EXPECT_EQ(assigned.SectionNames().last(), "New");
    const IniDocument back = IniDocument::FromBytes(assigned.ToBytes());
    EXPECT_EQ(back.Value("S100", "k"), "hundred");
    EXPECT_EQ(back.Value("S7", "k"), "seven");
    EXPECT_FALSE(back.HasSection("S0"));

    // A moved-from document can be given a new content.
    original = IniDocument::FromBytes("[Fresh]\nf=1\n");
    EXPECT_EQ(original.Value("Fresh", "f"), "1");
}

} // namespace
