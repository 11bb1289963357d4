// What a window learns of an archive backup run through the engine events.

#include "zip_run_support.h"

#include "../sync/engine_event_log.h"

#include "profiles/backup_profile.h"

namespace {

using K = EngineEvent::Kind;

TEST_F(ZipRunTest, AnArchiveRunReportsItsRowValuesAndTheQueue) {
    TLumo_Zip& zip = MakeZip();
    EngineEventLog events(*ctx);
    Run(zip);
    ASSERT_EQ(zip.LastError(), TLumo_Error::feNone);

    // Row values while it ran, then at rest with the run's final texts.
    std::vector<TGL_Profile> rows;
    for (const EngineEvent& e : events.Of(K::ProfileChanged)) {
        EXPECT_EQ(e.uid, zip.UID());
        rows.push_back(e.row);
    }
    ASSERT_FALSE(rows.empty());
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                            [](const TGL_Profile& r) { return r.tAction == TTaskStatus::tsRun; }));
    const TGL_Profile& last = rows.back();
    const TGL_Profile& now = zip.Profile()->Values();
    EXPECT_EQ(last.tAction, TTaskStatus::tsNone);
    EXPECT_EQ(last.tClass, TBackupClass::bcZip);
    EXPECT_EQ(last.txtStatus, now.txtStatus);
    EXPECT_EQ(last.txtLastSync, now.txtLastSync);
    EXPECT_FALSE(last.txtLastSync.isEmpty());

    // The queue went from one running entry to empty.
    const auto states = events.Of(K::QueueState);
    ASSERT_GE(states.size(), 2u);
    EXPECT_TRUE(states.front().running);
    EXPECT_EQ(states.front().count, 1);
    EXPECT_FALSE(states.back().running);
    EXPECT_EQ(states.back().count, 0);

    // An archive backup has no result list.
    for (K rowEvent :
         {K::RowsCleared, K::UpdateBegun, K::UpdateEnded, K::RowsAdded, K::RowsChanged, K::RowsRemoved})
        EXPECT_EQ(events.LastIndexOf(rowEvent), -1);
}

} // namespace
