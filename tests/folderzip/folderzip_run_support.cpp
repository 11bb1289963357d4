#include "folderzip_run_support.h"

#include "archive_test_support.h"

#include "ini/ini_document.h"
#include "profiles/backup_profile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <sys/stat.h>

namespace {

using archive_test::Quote;
using archive_test::RunCommand;

std::string Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

} // namespace

FolderZipRunTest::FolderZipRunTest() {
    QDir().mkpath(Source());
    QDir().mkpath(ctx->Paths().DataFolder);
}

TLumo_FolderZip& FolderZipRunTest::MakeProfile(const std::function<void(TFolderZip_Settings&)>& adjust) {
    TLumo_FolderZip& fz = TLumo_FolderZip::Create(*ctx, QString());
    TFolderZip_Settings settings;
    settings.nTitle = QStringLiteral("Projects");
    settings.nSourceFolder = Source();
    settings.nSaveToFolder = Storage();
    settings.nCompression = 6;
    if (adjust)
        adjust(settings);
    fz.ApplyNewSettings(settings, false);
    return fz;
}

void FolderZipRunTest::Run(TLumo_FolderZip& fz, bool onlyScan, const std::optional<QStringList>& list,
                           const std::function<void()>& whileRunning) {
    RunQueued(*fz.Profile(), onlyScan, list, whileRunning);
}

void FolderZipRunTest::WriteSource(const QString& relative, const QByteArray& bytes) const {
    sandbox.writeFile("src/" + relative, bytes);
}

void FolderZipRunTest::AgeSourceTree() const {
    QStringList paths;
    QDirIterator it(Source(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next();
    // Deepest first, so that setting a folder's time is not undone below it.
    std::sort(paths.begin(), paths.end(), [](const QString& a, const QString& b) { return a.size() > b.size(); });
    paths << Source();
    for (const QString& path : paths)
        archive_test::SetLocalModificationTime(Native(path), 2024, 1, 2, 3, 4, 5);
}

QString FolderZipRunTest::FileIdentity(const QString& path) const {
    struct stat st {};
    if (::lstat(Native(path).c_str(), &st) != 0)
        return {};
    return QStringLiteral("%1:%2").arg(st.st_dev).arg(st.st_ino);
}

QStringList FolderZipRunTest::Identities(const QStringList& names) const {
    QStringList ids;
    for (const QString& name : names)
        ids << FileIdentity(Storage() + name + ".zip");
    return ids;
}

QString FolderZipRunTest::CheckArchive(const QString& name, const QString& password, bool splitSet) const {
    const QString archive = Storage() + name + ".zip";
    const std::string pw = password.toUtf8().toStdString();
    struct Tool {
        const char* label;
        std::string command; // %A archive, %D destination
    };
    std::vector<Tool> tools;
    if (archive_test::HasTool("unzip") && !splitSet)
        tools.push_back({"unzip", "unzip -qq " + (pw.empty() ? std::string() : "-P " + Quote(pw) + " ") + "%A -d %D"});
    const std::string seven = archive_test::SevenZipTool();
    if (!seven.empty())
        tools.push_back({"7-Zip", seven + " x -y -bd -bso0 -bsp0 -p" + Quote(pw) + " -o%D %A"});
    if (archive_test::HasTool("python3") && !splitSet)
        tools.push_back({"zipfile", "python3 -c " +
                                        Quote("import sys, zipfile\n"
                                              "z = zipfile.ZipFile(sys.argv[1])\n"
                                              "z.extractall(sys.argv[2], pwd=sys.argv[3].encode() or None)\n") +
                                        " %A %D " + Quote(pw)});
    if (!archive_test::HasTool("diff"))
        return {};
    QString problems;
    int n = 0;
    for (const Tool& tool : tools) {
        const QString dest = sandbox.path() + QStringLiteral("/extract%1/").arg(n++);
        QDir(dest).removeRecursively();
        QDir().mkpath(dest);
        std::string command = tool.command;
        command.replace(command.find("%A"), 2, Quote(Native(archive)));
        command.replace(command.find("%D"), 2, Quote(Native(dest)));
        const archive_test::CommandResult extracted = RunCommand(command);
        if (extracted.exitCode != 0) {
            problems += QStringLiteral("%1 failed: %2\n").arg(tool.label, QString::fromStdString(extracted.output));
            continue;
        }
        const QStringList top = NamesIn(dest);
        if (top != QStringList{name})
            problems += QStringLiteral("%1: top level is %2\n").arg(tool.label, top.join(','));
        const archive_test::CommandResult diff =
            RunCommand("diff -r " + Quote(Native(Source() + name)) + " " + Quote(Native(dest + name)));
        if (diff.exitCode != 0)
            problems += QStringLiteral("%1 differs: %2\n").arg(tool.label, QString::fromStdString(diff.output));
        QDir(dest).removeRecursively();
    }
    return problems;
}

QStringList FolderZipRunTest::StoredStates(const TLumo_FolderZip& fz) {
    const IniDocument ini = SavedSettings();
    QStringList lines;
    for (const auto& [key, value] : ini.Values(fz.UID()))
        lines << key + "=" + value;
    return lines;
}
