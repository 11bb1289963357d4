// What a window learns of sync runs through the engine events: the order of
// the result list's events and the values they carry, for finished, scanned
// and stopped runs, and the removal of profiles.

#include "engine_event_log.h"
#include "sync_run_support.h"

#include "util/text_format.h"

#include <map>
#include <set>

namespace {

using K = EngineEvent::Kind;

// A window's copy of the result list, built from the events alone.
struct ReplayedList {
    std::map<quint32, TResultRow> rows;
    std::map<quint32, TResultRow> everAdded;
    std::set<quint32> removed;
};

// Checks the rules every subscriber relies on and replays the rows: update
// batches are paired and not nested, rows are added only inside one, an id
// is added once, and rows are changed or removed only after they were added.
ReplayedList ReplayResultEvents(const EngineEventLog& events, const QString& uid) {
    ReplayedList list;
    bool inBatch = false;
    for (const EngineEvent& e : events.log) {
        if (e.uid != uid)
            continue;
        switch (e.kind) {
        case K::RowsCleared:
            EXPECT_FALSE(inBatch) << "the list is emptied inside an update batch";
            list.rows.clear();
            break;
        case K::UpdateBegun:
            EXPECT_FALSE(inBatch) << "an update batch begins inside another";
            inBatch = true;
            break;
        case K::UpdateEnded:
            EXPECT_TRUE(inBatch) << "an update batch ends that never began";
            inBatch = false;
            break;
        case K::RowsAdded:
            EXPECT_TRUE(inBatch) << "rows added outside an update batch";
            for (const TResultRow& row : e.rows) {
                EXPECT_NE(row.Id, 0u);
                EXPECT_TRUE(list.everAdded.emplace(row.Id, row).second) << "id added twice: " << row.Id;
                list.rows[row.Id] = row;
            }
            break;
        case K::RowsChanged:
            for (const TResultRow& row : e.rows) {
                EXPECT_TRUE(list.rows.count(row.Id)) << "a row changed that is not listed: " << row.Id;
                list.rows[row.Id] = row;
            }
            break;
        case K::RowsRemoved:
            for (quint32 id : e.ids) {
                EXPECT_EQ(list.rows.erase(id), 1u) << "a row removed that is not listed: " << id;
                list.removed.insert(id);
            }
            break;
        default: break;
        }
    }
    EXPECT_FALSE(inBatch) << "an update batch never ended";
    return list;
}

// The engine's own result list must be what the events left in the window.
void ExpectListMatchesEvents(const TLumo_Sync& sync, const ReplayedList& replayed) {
    std::map<quint32, std::pair<QString, TLumo_FileStatus>> engine, shown;
    for (const auto& element : sync.ResultElements())
        engine[element->ResultId] = {element->SepPath, element->Status};
    for (const auto& [id, row] : replayed.rows)
        shown[id] = {row.Path, row.Status};
    EXPECT_EQ(engine, shown);
}

// The last row values a subscriber saw are the profile's own, at rest.
void ExpectFinalRow(const EngineEventLog& events, const TLumo_BackupProfile& profile) {
    const TGL_Profile* last = nullptr;
    bool sawRun = false;
    for (const EngineEvent& e : events.log)
        if (e.kind == K::ProfileChanged && e.uid == profile.UID()) {
            last = &e.row;
            sawRun = sawRun || e.row.tAction == TTaskStatus::tsRun;
        }
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(sawRun) << "no row values while the run was under way";
    EXPECT_EQ(last->tAction, TTaskStatus::tsNone);
    EXPECT_EQ(last->sUID, profile.UID());
    EXPECT_EQ(last->txtTitle, profile.Values().txtTitle);
    EXPECT_EQ(last->txtStatus, profile.Values().txtStatus);
    EXPECT_EQ(last->txtLastSync, profile.Values().txtLastSync);
    EXPECT_EQ(last->iProgress, 0);
    EXPECT_EQ(last->iFullProgress, 0);
}

// The queue is reported busy while the run lasts and idle once it is over,
// after the last row of the result list.
void ExpectQueueRanAndEnded(const EngineEventLog& events) {
    const auto states = events.Of(K::QueueState);
    ASSERT_FALSE(states.empty());
    EXPECT_TRUE(states.front().running);
    EXPECT_EQ(states.front().count, 1);
    EXPECT_FALSE(states.back().running);
    EXPECT_EQ(states.back().count, 0);
    const int lastQueue = events.LastIndexOf(K::QueueState);
    for (K rowEvent : {K::RowsAdded, K::RowsChanged, K::RowsRemoved, K::UpdateEnded})
        EXPECT_LT(events.LastIndexOf(rowEvent), lastQueue);
}

class SyncEventsTest : public SyncRunTest {
protected:
    void MakeTree() {
        Write(src() + "a.txt", "alpha");
        Write(src() + "b.txt", "bravo!");
        Write(dst() + "old.txt", "old");
    }
    void Wait() {
        ServeMainThreadWhile([&] { return !ctx->TaskQueue().IsEmpty() || ctx->TaskQueue().TaskRunning; });
    }
};

struct RunCase {
    const char* name;
    bool onlyScan;
};

class SyncRunEvents : public SyncEventsTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(SyncRunEvents, RowsComeInOneBatchAndLeaveAsTheyAreDone) {
    const RunCase& c = GetParam();
    MakeTree();
    TLumo_Sync& sync = MakeSync();
    EngineEventLog events(*ctx);
    RunAndWait(sync, c.onlyScan);
    ASSERT_EQ(sync.LastError(), TLumo_Error::feNone) << sync.LastErrorText().toStdString();

    ASSERT_EQ(events.Of(K::RowsCleared).size(), 1u);
    ASSERT_EQ(events.Of(K::UpdateBegun).size(), 1u);
    EXPECT_LT(events.LastIndexOf(K::RowsCleared), events.LastIndexOf(K::UpdateBegun));
    const ReplayedList replayed = ReplayResultEvents(events, sync.UID());

    // Every entry of the analysis arrives with its values.
    std::map<QString, TResultRow> added;
    for (const auto& [id, row] : replayed.everAdded)
        added[row.Path] = row;
    ASSERT_EQ(added.size(), 3u);
    const struct {
        QString path;
        TLumo_FileStatus status;
        qint64 size;
    } expected[] = {{"a.txt", TLumo_FileStatus::flsNew, 5},
                    {"b.txt", TLumo_FileStatus::flsNew, 6},
                    {"old.txt", TLumo_FileStatus::flsToDelete, 3}};
    for (const auto& e : expected) {
        ASSERT_TRUE(added.count(e.path)) << e.path.toStdString();
        const TResultRow& row = added[e.path];
        EXPECT_EQ(row.Status, e.status) << e.path.toStdString();
        EXPECT_EQ(row.Size, e.size) << e.path.toStdString();
        EXPECT_EQ(ResultSizeText(row), SizeToText(e.size)) << e.path.toStdString();
        EXPECT_FALSE(row.IsFolder);
        EXPECT_FALSE(row.Error);
    }

    if (c.onlyScan) {
        EXPECT_TRUE(events.Of(K::RowsRemoved).empty());
        EXPECT_EQ(replayed.rows.size(), 3u);
    } else {
        // Each done entry leaves the list: nothing is left shown.
        EXPECT_EQ(replayed.removed.size(), 3u);
        EXPECT_TRUE(replayed.rows.empty());
        EXPECT_EQ(FilesBelow(dst()), QStringList({"a.txt", "b.txt"}));
    }
    ExpectListMatchesEvents(sync, replayed);
    ExpectFinalRow(events, *sync.Profile());
    ExpectQueueRanAndEnded(events);
    EXPECT_TRUE(events.Of(K::AboutToBeRemoved).empty());
}

INSTANTIATE_TEST_SUITE_P(Runs, SyncRunEvents,
                         ::testing::Values(RunCase{"Sync", false}, RunCase{"OnlyScan", true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Stopped as the analysis hands over its rows, the run still closes its update
// batch, and nothing is copied or removed.
TEST_F(SyncEventsTest, AStopAtTheAnalysisStillEndsTheUpdateBatch) {
    MakeTree();
    TLumo_Sync& sync = MakeSync();
    EngineEventLog events(*ctx);
    QObject window;
    QObject::connect(&ctx->Events(), &TEngineEvents::resultUpdateBegun, &window,
                     [&sync](const QString&) { sync.Profile()->AbortTask(); });
    RunAndWait(sync, false);
    Wait();

    ASSERT_EQ(events.Of(K::UpdateBegun).size(), 1u);
    ASSERT_EQ(events.Of(K::UpdateEnded).size(), 1u);
    const ReplayedList replayed = ReplayResultEvents(events, sync.UID());
    EXPECT_TRUE(replayed.removed.empty());
    ExpectListMatchesEvents(sync, replayed);
    EXPECT_EQ(sync.LastError(), TLumo_Error::feNone);
    EXPECT_EQ(Read(dst() + "a.txt"), QByteArray("<missing>"));
    EXPECT_EQ(Read(dst() + "old.txt"), QByteArray("old"));
    ExpectFinalRow(events, *sync.Profile());
    ExpectQueueRanAndEnded(events);
}

// Stopped while it copies (at the first row that leaves), the run's events
// still follow the rules, and what they leave shown is the engine's list.
TEST_F(SyncEventsTest, AStopWhileCopyingLeavesTheShownListInStep) {
    for (int i = 0; i < 40; ++i)
        Write(src() + QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0')), QByteArray(1000, 'x'));
    TLumo_Sync& sync = MakeSync();
    EngineEventLog events(*ctx);
    QObject window;
    bool stopped = false;
    QObject::connect(&ctx->Events(), &TEngineEvents::resultRowsRemoved, &window, [&](const QString&, const auto&) {
        if (!stopped) {
            stopped = true;
            sync.Profile()->AbortTask();
        }
    });
    RunAndWait(sync, false);
    Wait();

    EXPECT_TRUE(stopped);
    EXPECT_EQ(events.Of(K::UpdateBegun).size(), 1u);
    const ReplayedList replayed = ReplayResultEvents(events, sync.UID());
    EXPECT_EQ(replayed.everAdded.size(), 40u);
    EXPECT_FALSE(replayed.removed.empty());
    ExpectListMatchesEvents(sync, replayed);
    ExpectFinalRow(events, *sync.Profile());
    ExpectQueueRanAndEnded(events);
}

// A window hears of a profile's removal while the profile can still be found,
// and of nothing else about it afterwards.
TEST_F(SyncEventsTest, RemovalIsAnnouncedBeforeTheProfileGoes) {
    TLumo_Sync& kept = MakeSync();
    TLumo_Sync& deleted = MakeSync();
    const QString keptUID = kept.UID();
    const QString deletedUID = deleted.UID();
    EngineEventLog events(*ctx);

    ASSERT_TRUE(deleted.Profile()->Delete());
    EXPECT_EQ(ctx->FindProfileByUID(deletedUID), nullptr);
    auto removals = events.Of(K::AboutToBeRemoved);
    ASSERT_EQ(removals.size(), 1u);
    EXPECT_EQ(removals[0].uid, deletedUID);
    EXPECT_TRUE(removals[0].profileStillListed);

    // Clearing the list announces every profile in it.
    ctx->ClearProfiles();
    removals = events.Of(K::AboutToBeRemoved);
    ASSERT_EQ(removals.size(), 2u);
    EXPECT_EQ(removals[1].uid, keptUID);
    EXPECT_TRUE(removals[1].profileStillListed);
    EXPECT_TRUE(ctx->Profiles().empty());
}

} // namespace
