// The settings archive: what the program writes is a ZIP that other tools open,
// a restore gives the archived file back byte for byte, and a restore from an
// archive that is not one of ours changes nothing.

#include "settings/settings_archive.h"
#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

const QByteArray kSettings = QByteArrayLiteral("\xEF\xBB\xBF[Main]\r\nLanguage=Eng\r\nStayOnTop=1\r\n"
                                               "[SyncList]\r\nSNK202601011200001234=1\r\n");

bool HaveTool(const QString& name) { return !QStandardPaths::findExecutable(name).isEmpty(); }

// Runs a tool and gives its standard output; fails the test when it fails.
QByteArray RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(60000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return process.readAllStandardOutput();
}

// Runs a python3 script with the given arguments.
void RunPython(const QString& script, const QStringList& arguments) {
    RunTool(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + arguments);
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

TEST(SettingsArchive, BackupIsAZipWithTheCommentAndOneEntryThatOtherToolsRead) {
    TestSandbox box;
    box.writeFile(QStringLiteral("data/Backup.ini"), kSettings);
    const QString archive = box.file(QStringLiteral("out/settings.zip"));
    box.writeFile(QStringLiteral("out/settings.zip"), QByteArrayLiteral("an older file in the way"));
    QString error;
    ASSERT_TRUE(WriteSettingsArchive(box.file(QStringLiteral("data/Backup.ini")), archive, &error))
        << error.toStdString();

    if (!HaveTool(QStringLiteral("python3")))
        GTEST_SKIP() << "python3 is not installed";
    // Python's zipfile: the names, the comment, the method and the content.
    const QByteArray report = RunTool(
        QStringLiteral("python3"),
        {QStringLiteral("-c"),
         QStringLiteral("import sys,zipfile\n"
                        "z=zipfile.ZipFile(sys.argv[1])\n"
                        "assert z.testzip() is None\n"
                        "print(z.namelist()); print(z.comment.decode());"
                        "print(z.infolist()[0].compress_type==zipfile.ZIP_DEFLATED)\n"
                        "sys.stdout.buffer.write(z.read('Backup.ini'))"),
         archive});
    const QByteArray expected = QByteArrayLiteral("['Backup.ini']\n") + kSettingsArchiveComment.toUtf8() +
                                QByteArrayLiteral("\nTrue\n") + kSettings;
    EXPECT_EQ(report, expected);

    if (HaveTool(QStringLiteral("unzip"))) {
        EXPECT_EQ(RunTool(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, QStringLiteral("Backup.ini")}),
                  kSettings);
        RunTool(QStringLiteral("unzip"), {QStringLiteral("-tq"), archive});
    }
    if (HaveTool(QStringLiteral("7zz"))) {
        RunTool(QStringLiteral("7zz"), {QStringLiteral("t"), archive});
        EXPECT_EQ(RunTool(QStringLiteral("7zz"), {QStringLiteral("e"), QStringLiteral("-so"), archive}), kSettings);
    }
}

TEST(SettingsArchive, RestoreOnAChangedFileGivesBackTheFirstFileByteForByte) {
    TestSandbox box;
    const QString settings = box.file(QStringLiteral("data/Backup.ini"));
    box.writeFile(QStringLiteral("data/Backup.ini"), kSettings);
    const QString archive = box.file(QStringLiteral("settings.zip"));
    ASSERT_TRUE(WriteSettingsArchive(settings, archive));

    box.writeFile(QStringLiteral("data/Backup.ini"), QByteArrayLiteral("[Main]\r\nLanguage=Rus\r\n"));
    const TSettingsArchiveResult result = RestoreSettingsArchive(archive, settings);
    ASSERT_TRUE(result.Ok()) << result.Error.toStdString();
    EXPECT_EQ(ReadAll(settings), kSettings);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(box.file(QStringLiteral("data"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Backup.ini")});
}

TEST(SettingsArchive, AnEntryNamedInLowerCaseIsAccepted) {
    if (!HaveTool(QStringLiteral("python3")))
        GTEST_SKIP() << "python3 is not installed";
    TestSandbox box;
    const QString archive = box.file(QStringLiteral("lower.zip"));
    RunPython(QStringLiteral("import sys,zipfile\n"
                             "with zipfile.ZipFile(sys.argv[1],'w',zipfile.ZIP_DEFLATED) as z: "
                             "z.writestr('backup.ini', b'[Main]\\r\\n')"),
              {archive});
    box.writeFile(QStringLiteral("data/Backup.ini"), kSettings);
    const TSettingsArchiveResult result = RestoreSettingsArchive(archive, box.file(QStringLiteral("data/Backup.ini")));
    ASSERT_TRUE(result.Ok()) << result.Error.toStdString();
    EXPECT_EQ(box.readFile(QStringLiteral("data/Backup.ini")), QByteArrayLiteral("[Main]\r\n"));
}

// Hostile or foreign archives, each made by Python's zipfile (or by damaging
// one) and each refused with the settings file left as it was.
struct THostileArchive {
    const char* Name;
    // Python code run with sys.argv[1] = the archive path and the zipfile module imported.
    const char* Script;
};

class HostileArchive : public ::testing::TestWithParam<THostileArchive> {};

TEST_P(HostileArchive, IsRefusedAndChangesNothing) {
    if (!HaveTool(QStringLiteral("python3")))
        GTEST_SKIP() << "python3 is not installed";
    TestSandbox box;
    const QString archive = box.file(QStringLiteral("hostile.zip"));
    RunPython(QStringLiteral("import sys,zipfile,zlib,struct,os\np=sys.argv[1]\n") + QString::fromUtf8(GetParam().Script),
              {archive});
    box.writeFile(QStringLiteral("data/Backup.ini"), kSettings);
    const QString settings = box.file(QStringLiteral("data/Backup.ini"));

    const TSettingsArchiveResult result = RestoreSettingsArchive(archive, settings);
    EXPECT_EQ(result.Status, TSettingsArchiveStatus::NotOurs) << result.Error.toStdString();
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_EQ(ReadAll(settings), kSettings);
    EXPECT_EQ(QDir(box.file(QStringLiteral("data"))).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("Backup.ini")});
    // Nothing was written beside the archive either (a name with a path).
    EXPECT_FALSE(QFile::exists(box.file(QStringLiteral("evil.ini"))));
}

const THostileArchive kHostileArchives[] = {
    {"TwoEntries", "with zipfile.ZipFile(p,'w',zipfile.ZIP_DEFLATED) as z:\n"
                   " z.writestr('Backup.ini', b'[Main]')\n z.writestr('other.txt', b'x')"},
    {"WrongEntryName", "with zipfile.ZipFile(p,'w',zipfile.ZIP_DEFLATED) as z: z.writestr('Settings.ini', b'[Main]')"},
    {"NoEntry", "with zipfile.ZipFile(p,'w') as z: z.comment=b'Norvane Backup archive file'"},
    {"PathTraversalName", "with zipfile.ZipFile(p,'w',zipfile.ZIP_DEFLATED) as z: "
                          "z.writestr('../Backup.ini', b'[Main]')"},
    {"NameInAFolder", "with zipfile.ZipFile(p,'w',zipfile.ZIP_DEFLATED) as z: z.writestr('data/Backup.ini', b'[Main]')"},
    {"AbsoluteName", "with zipfile.ZipFile(p,'w',zipfile.ZIP_DEFLATED) as z: z.writestr('/Backup.ini', b'[Main]')"},
    {"TooLarge", "with zipfile.ZipFile(p,'w',zipfile.ZIP_DEFLATED) as z: z.writestr('Backup.ini', bytes(80*1024*1024))"},
    // Declares 1000 bytes in both headers but inflates to 200 MiB.
    {"ZipBombWithAFalseSize",
     "with zipfile.ZipFile(p,'w',zipfile.ZIP_DEFLATED) as z: z.writestr('Backup.ini', bytes(200*1024*1024))\n"
     "b=bytearray(open(p,'rb').read())\n"
     "l=b.find(b'PK\\x03\\x04'); c=b.find(b'PK\\x01\\x02')\n"
     "struct.pack_into('<I',b,l+22,1000); struct.pack_into('<I',b,c+24,1000)\n"
     "open(p,'wb').write(b)"},
    {"Truncated", "with zipfile.ZipFile(p,'w',zipfile.ZIP_DEFLATED) as z: z.writestr('Backup.ini', os.urandom(4000))\n"
                  "b=open(p,'rb').read(); open(p,'wb').write(b[:len(b)//2])"},
    {"DamagedData", "with zipfile.ZipFile(p,'w',zipfile.ZIP_STORED) as z: z.writestr('Backup.ini', b'[Main]'*100)\n"
                    "b=bytearray(open(p,'rb').read()); b[60]^=0xFF; open(p,'wb').write(b)"},
    {"NotAZipAtAll", "open(p,'wb').write(b'[Main]\\r\\nLanguage=Eng\\r\\n')"},
    {"EmptyFile", "open(p,'wb').close()"},
    {"Encrypted", "with zipfile.ZipFile(p,'w',zipfile.ZIP_STORED) as z: z.writestr('Backup.ini', b'[Main]')\n"
                  "b=bytearray(open(p,'rb').read())\n"
                  "l=b.find(b'PK\\x03\\x04'); c=b.find(b'PK\\x01\\x02')\n"
                  "b[l+6]|=1; b[c+8]|=1; open(p,'wb').write(b)"},
};

INSTANTIATE_TEST_SUITE_P(Table, HostileArchive, ::testing::ValuesIn(kHostileArchives),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(SettingsArchive, AMissingArchiveIsNotOurs) {
    TestSandbox box;
    box.writeFile(QStringLiteral("data/Backup.ini"), kSettings);
    const TSettingsArchiveResult result =
        RestoreSettingsArchive(box.file(QStringLiteral("none.zip")), box.file(QStringLiteral("data/Backup.ini")));
    EXPECT_EQ(result.Status, TSettingsArchiveStatus::NotOurs);
    EXPECT_EQ(box.readFile(QStringLiteral("data/Backup.ini")), kSettings);
}

TEST(SettingsArchive, ABackupIntoAFolderThatCannotBeWrittenFailsWithTheCause) {
    TestSandbox box;
    box.writeFile(QStringLiteral("data/Backup.ini"), kSettings);
    box.writeFile(QStringLiteral("file"), QByteArrayLiteral("x"));
    QString error;
    // The folder part of the target is a file.
    EXPECT_FALSE(WriteSettingsArchive(box.file(QStringLiteral("data/Backup.ini")),
                                      box.file(QStringLiteral("file/settings.zip")), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("settings.zip"))) << error.toStdString();
}
