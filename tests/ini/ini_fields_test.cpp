#include "ini/ini_fields.h"

#include <gtest/gtest.h>

namespace {

struct TRecord {
    bool Flag = false;
    int Size = 0;
    QString Name;
    TDateTime When = 0;
    QString Odd;
};

struct TObject {
    bool flag = true;
    int size = 42;
    QString name = "n";
    TDateTime when = 45000.5;
    bool Flag() const { return flag; }
    int Size() const { return size; }
    const QString& Name() const { return name; }
    TDateTime When() const { return when; }
};

using TFields = TIniFields<TRecord, TObject>;

const TFields& Fields() {
    static const TFields fields{
        {"When", TFields::TStamp{&TRecord::When, &TObject::When}},
        {"Flag", TFields::TBool{&TRecord::Flag, &TObject::Flag, true}},
        {"Size", TFields::TInt{&TRecord::Size, &TObject::Size, 20, 10, 99}},
        {"Name", TFields::TText{&TRecord::Name, &TObject::Name}},
        {"Odd", TFields::TCustom{[](const IniDocument& ini, const QString& section, const QString& key,
                                    TRecord& r) { r.Odd = "read " + ini.Value(section, key); },
                                 [](IniDocument& ini, const QString& section, const QString& key, const TObject&) {
                                     ini.SetValue(section, key, "written");
                                 }}},
    };
    return fields;
}

TEST(IniFields, MissingOrUnreadableKeysGiveTheirDefaults) {
    IniDocument ini = IniDocument::FromBytes("[s]\r\nSize=many\r\n");
    TRecord r;
    r.Name = "left over";
    Fields().Read(ini, "s", r);
    EXPECT_TRUE(r.Flag);
    EXPECT_EQ(r.Size, 20);
    EXPECT_EQ(r.Name, "");
    EXPECT_EQ(r.When, 0);
    EXPECT_EQ(r.Odd, "read ");
}

TEST(IniFields, WhatIsWrittenReadsBackInTheTableOrder) {
    IniDocument ini;
    const TObject object;
    Fields().Write(ini, "s", object);
    const QByteArray text = ini.ToBytes();
    EXPECT_LT(text.indexOf("When="), text.indexOf("Flag="));
    EXPECT_LT(text.indexOf("Flag="), text.indexOf("Size="));
    EXPECT_LT(text.indexOf("Size="), text.indexOf("Name="));
    EXPECT_LT(text.indexOf("Name="), text.indexOf("Odd="));

    TRecord r;
    Fields().Read(IniDocument::FromBytes(text), "s", r);
    EXPECT_EQ(r.Flag, object.flag);
    EXPECT_EQ(r.Size, object.size);
    EXPECT_EQ(r.Name, object.name);
    EXPECT_DOUBLE_EQ(r.When, object.when);
    EXPECT_EQ(r.Odd, "read written");
}

TEST(IniFields, ANumberOutsideItsRangeBecomesTheDefault) {
    struct Case {
        int given;
        int kept;
    };
    for (const Case c : {Case{9, 20}, Case{10, 10}, Case{99, 99}, Case{100, 20}, Case{-5, 20}})
        EXPECT_EQ(Fields().Clamped(&TRecord::Size, c.given), c.kept) << c.given;
}

} // namespace
