#include "zip_run_support.h"

#include "archive_test_support.h"

#include "ini/ini_document.h"
#include "profiles/backup_profile.h"

#include <QDir>
#include <QFile>
#include <QProcess>


namespace {

struct ToolResult {
    int exitCode = -1;
    QString output;
};

ToolResult RunTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolResult result;
    if (!process.waitForStarted(10000) || !process.waitForFinished(120000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

} // namespace

bool HasTool(const QString& name) { return archive_test::HasTool(name.toStdString()); }

ArchiveListing ListArchive(const QString& path, const QString& password) {
    const archive_test::PyListing py = archive_test::ListWithPython(path.toStdString(), password.toStdString());
    ArchiveListing listing;
    listing.ok = py.ok;
    listing.message = QString::fromStdString(py.message);
    for (const archive_test::PyEntry& entry : py.entries)
        listing.names << QString::fromStdString(entry.name);
    listing.names.sort();
    return listing;
}

int UnzipTest(const QString& path) {
    return RunTool(QStringLiteral("unzip"), {QStringLiteral("-t"), QStringLiteral("-qq"), path}).exitCode;
}

bool JoinSplitArchive(const QString& lastSegment, const QString& joined) {
    return RunTool(QStringLiteral("zip"),
                   {QStringLiteral("-q"), QStringLiteral("-s"), QStringLiteral("0"), lastSegment,
                    QStringLiteral("--out"), joined})
               .exitCode == 0;
}

QByteArray RandomBytes(qsizetype size, unsigned seed) {
    return QByteArray::fromStdString(archive_test::RandomBytes(static_cast<std::size_t>(size), seed));
}

ZipRunTest::ZipRunTest() {
    sandbox.writeFile("src/report.txt", "report");
    sandbox.writeFile("src/sub/notes.txt", QByteArray(5000, 'n'));
    QDir().mkpath(Target());
    QDir().mkpath(ctx->Paths().DataFolder);
}

TLumo_Zip& ZipRunTest::MakeZip(const QString& fileTemplate, const std::function<void(TZip_Settings&)>& adjust) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, QString());
    TZip_Settings settings;
    settings.nTitle = QStringLiteral("Docs");
    settings.nFilename = fileTemplate;
    settings.nFolder = Target();
    settings.nValueList = QStringList{QStringLiteral("1"), Source()};
    if (adjust)
        adjust(settings);
    zip.ApplyNewSettings(settings, false);
    zip.SetClock([this] { return now; });
    return zip;
}

void ZipRunTest::Run(TLumo_Zip& zip) { RunServing(zip, {}); }

void ZipRunTest::RunServing(TLumo_Zip& zip, const std::function<void()>& whileRunning) {
    RunQueued(*zip.Profile(), false, std::nullopt, whileRunning);
}

TFileVersionList ZipRunTest::StoredVersions(const TLumo_Zip& zip) {
    return ReadFileVersions(SavedSettings(), zip.UID() + QStringLiteral("_Fv"));
}
