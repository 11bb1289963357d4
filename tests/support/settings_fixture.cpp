#include "settings_fixture.h"

#include "ini/ini_values.h"

namespace {

QString Uid(const char* prefix, int n) {
    return QStringLiteral("%1202401%2120000%3")
        .arg(QLatin1String(prefix))
        .arg(n % 28 + 1, 2, 10, QLatin1Char('0'))
        .arg(n % 10000, 4, 10, QLatin1Char('0'));
}

void Line(QByteArray& out, const QString& text) {
    out += text.toUtf8();
    out += "\r\n";
}

void Key(QByteArray& out, const QString& key, const QString& value) { Line(out, key + QLatin1Char('=') + value); }

void Scripts(QByteArray& out, int n) {
    const QStringList before = {"[taPause]", "Pause=5", "[taIfFolderExists]", QStringLiteral("Folder=/mnt/backup%1/").arg(n)};
    const QStringList after = {"[taExecute]", "File=/usr/bin/true", "Cmd=--quiet", "[taEmptyRecycleBin]"};
    Key(out, "ProfileScript_Before", PackList(before));
    Key(out, "ProfileScript_After", PackList(after));
}

void ScriptBranches(QByteArray& out, const QString& uid) {
    Line(out, QLatin1Char('[') + uid + "_PS]");
    Key(out, "PS_Yes_1", PackList({"[taDeleteFile]", "File=/tmp/old.log", "ToRecycle=1"}));
    Key(out, "PS_No_1", PackList({}));
}

void Exclusions(QByteArray& out, const QString& uid) {
    Line(out, QLatin1Char('[') + uid + "_Ex]");
    Key(out, "v0", "*.tmp");
    Key(out, "v1", "/System Volume Information/");
    Key(out, "v2", "*.bak");
}

} // namespace

TSettingsFixture MakeSettingsFixture(int total) {
    TSettingsFixture f;
    const int perKind = total / 3;
    for (int i = 0; i < total - 2 * perKind; ++i)
        f.SyncUIDs << Uid("SNK", i);
    for (int i = 0; i < perKind; ++i)
        f.ZipUIDs << Uid("ZIP", i);
    for (int i = 0; i < perKind; ++i)
        f.FolderZipUIDs << Uid("FZP", i);

    QByteArray& out = f.Bytes;
    out = "\xEF\xBB\xBF";
    Line(out, "[Main]");
    Key(out, "Language", "Eng");
    Key(out, "LanguageLocal", "1");
    Key(out, "AutoUpdateLast", "20241130101010");
    QStringList positions = f.FolderZipUIDs + f.ZipUIDs + f.SyncUIDs;
    Key(out, "Positions", PackList(positions));

    Line(out, "[SyncList]");
    for (int i = 0; i < f.SyncUIDs.size(); ++i)
        Key(out, f.SyncUIDs[i], QStringLiteral("Sync profile %1").arg(i));
    for (int i = 0; i < f.SyncUIDs.size(); ++i) {
        const QString& u = f.SyncUIDs[i];
        Line(out, QLatin1Char('[') + u + "_st]");
        Key(out, "LastActive", "20241201083000");
        Key(out, "CheckType", "1");
        Key(out, "DelToRecycle", "0");
        Key(out, "AutoMode", "1");
        Key(out, "SkipHiddenSystem", "1");
        Key(out, "SkipBigFiles", "1");
        Key(out, "BigFileSize", "4096");
        Key(out, "DiskSourceID", "");
        Key(out, "DiskStorageID", "00A1:B2C3");
        Scripts(out, i);
        Line(out, QLatin1Char('[') + u + QLatin1Char(']'));
        for (int p = 1; p <= 3; ++p) {
            Key(out, QStringLiteral("f1_%1").arg(p), QStringLiteral("/home/user/Documents%1/").arg(p));
            Key(out, QStringLiteral("f2_%1").arg(p), QStringLiteral("/mnt/backup/Documents%1/").arg(p));
        }
        Exclusions(out, u);
        ScriptBranches(out, u);
    }

    Line(out, "[ZipList]");
    for (int i = 0; i < f.ZipUIDs.size(); ++i)
        Key(out, f.ZipUIDs[i], QStringLiteral("Archive %1").arg(i));
    for (int i = 0; i < f.ZipUIDs.size(); ++i) {
        const QString& u = f.ZipUIDs[i];
        Line(out, QLatin1Char('[') + u + "_st]");
        Key(out, "Filename", "Docs_%Y-%M-%D.zip");
        Key(out, "Folder", QStringLiteral("/mnt/backup/zip%1/").arg(i));
        Key(out, "Compression", "6");
        Key(out, "SpanningEnabled", "0");
        Key(out, "SpanningSizeValue", "1900");
        Key(out, "LastActive", "20241202093000");
        Key(out, "FVType", "1");
        Key(out, "FVValue", "5");
        Key(out, "FVLastIndex", "3");
        Scripts(out, i);
        Line(out, QLatin1Char('[') + u + QLatin1Char(']'));
        Key(out, "f_1", "/home/user/Pictures/");
        Key(out, "i_1", "1");
        Key(out, "f_2", "/home/user/notes.txt");
        Key(out, "i_2", "0");
        Exclusions(out, u);
        Line(out, QLatin1Char('[') + u + "_Fv]");
        for (int k = 0; k < 3; ++k) {
            Key(out, QStringLiteral("Name_%1").arg(k), QStringLiteral("/mnt/backup/zip%1/Docs_%2.zip").arg(i).arg(k));
            Key(out, QStringLiteral("DateTime_%1").arg(k), QStringLiteral("2024120%1093000").arg(k + 1));
        }
        ScriptBranches(out, u);
    }

    Line(out, "[ZipFolderList]");
    for (int i = 0; i < f.FolderZipUIDs.size(); ++i)
        Key(out, f.FolderZipUIDs[i], QStringLiteral("Projects %1").arg(i));
    for (int i = 0; i < f.FolderZipUIDs.size(); ++i) {
        const QString& u = f.FolderZipUIDs[i];
        Line(out, QLatin1Char('[') + u + "_st]");
        Key(out, "FolderZip", "/home/user/Projects/");
        Key(out, "SaveTo", QStringLiteral("/mnt/backup/projects%1/").arg(i));
        Key(out, "Compression", "5");
        Key(out, "CleanFolder", "1");
        Key(out, "CleanFolderToTrash", "1");
        Key(out, "LastActive", "20241203103000");
        Scripts(out, i);
        Line(out, QLatin1Char('[') + u + QLatin1Char(']'));
        for (int s = 1; s <= 4; ++s) {
            Key(out, QStringLiteral("n_%1").arg(s), QStringLiteral("project%1").arg(s));
            Key(out, QStringLiteral("d_%1").arg(s), "20241120120000");
            Key(out, QStringLiteral("s_%1").arg(s), "0");
        }
        Exclusions(out, u);
        Line(out, QLatin1Char('[') + u + "_FolderEx]");
        Key(out, "v0", "node_modules");
        ScriptBranches(out, u);
    }

    Line(out, "[CronList]");
    const QStringList all = f.SyncUIDs + f.ZipUIDs + f.FolderZipUIDs;
    for (int i = 0; i < all.size(); ++i) {
        const QString cron = Uid("CRN", i);
        f.CronUIDs << cron;
        Key(out, cron, all[i]);
    }
    for (int i = 0; i < f.CronUIDs.size(); ++i) {
        Line(out, QLatin1Char('[') + f.CronUIDs[i] + QLatin1Char(']'));
        Key(out, "Repeat", "2");
        Key(out, "IntervalValue", "0");
        Key(out, "DateTime", "0");
        Key(out, "Expired", "1");
        Key(out, "Enabled", "1");
        Key(out, "LastAction", "20241201220000");
        Key(out, "DaysRepeat", "1111100");
        Key(out, "DaysRepeatTime", "220000");
    }
    return f;
}
