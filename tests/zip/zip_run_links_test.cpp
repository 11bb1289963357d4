#include "zip_run_support.h"

#include <QFile>

#include <unistd.h>

namespace {

// A linked folder goes into the archive with its content; a link that leads
// back up its own path is left out and the run ends with an error naming it.
TEST_F(ZipRunTest, LinkedFolderIsArchivedAndALoopIsNamedInTheRunsError) {
    if (!HasTool("python3"))
        GTEST_SKIP() << "python3 is not installed";
    ASSERT_EQ(::symlink("sub", QFile::encodeName(Source() + "sub-link").constData()), 0);
    ASSERT_EQ(::symlink("..", QFile::encodeName(Source() + "sub/up").constData()), 0);
    TLumo_Zip& zip = MakeZip();
    Run(zip);
    EXPECT_EQ(zip.LastError(), TLumo_Error::feLeftOut);
    EXPECT_TRUE(zip.LastErrorText().contains(Source() + "sub/up")) << zip.LastErrorText().toStdString();
    EXPECT_TRUE(zip.LastErrorText().contains(Source() + "sub-link/up")) << zip.LastErrorText().toStdString();
    const ArchiveListing listing = ListArchive(Target() + "Backup.zip");
    ASSERT_TRUE(listing.ok) << listing.message.toStdString();
    EXPECT_EQ(listing.names, QStringList({"report.txt", "sub-link/", "sub-link/notes.txt", "sub/", "sub/notes.txt"}));
}

} // namespace
