// What a window learns of folder archiving runs through the engine events:
// the rows of the subfolder elements, added before they change or go, with
// their state, progress and error, kept by the headless result list equal to
// the task object's element list; and the removal of a profile's links.

#include "folderzip_run_support.h"

#include "archive_test_support.h"

#include "folderzip/folderzip_result_list.h"
#include "profiles/backup_profile.h"
#include "profiles/engine_events.h"
#include "profiles/task_queue.h"
#include "sync/sync_task.h"
#include "zip/zip_task.h"

#include <QDir>

#include <functional>
#include <map>
#include <set>

namespace {

const QStringList kThree{"Alpha", "Beta", "Gamma"};

// Every result-list event of a context in the order emitted.
struct RowEvent {
    enum class Kind { Added, Changed, Removed, LinksRemoved, AboutToBeRemoved } kind;
    QString uid;
    QList<TFolderZipRow> rows;
    QList<quint32> ids;
    // Whether the context still found the profile when the event came.
    bool profileListed = false;
};

class RowEventLog {
public:
    explicit RowEventLog(TAppContext& context) {
        using K = RowEvent::Kind;
        TEngineEvents* events = &context.Events();
        const auto listed = [&context](const QString& uid) { return context.FindProfileByUID(uid) != nullptr; };
        QObject::connect(events, &TEngineEvents::folderZipRowsAdded, &fReceiver,
                         [this](const QString& uid, const QList<TFolderZipRow>& rows) {
                             log.push_back(RowEvent{K::Added, uid, rows, {}});
                         });
        QObject::connect(events, &TEngineEvents::folderZipRowsChanged, &fReceiver,
                         [this](const QString& uid, const QList<TFolderZipRow>& rows) {
                             log.push_back(RowEvent{K::Changed, uid, rows, {}});
                         });
        QObject::connect(events, &TEngineEvents::resultRowsRemoved, &fReceiver,
                         [this](const QString& uid, const QList<quint32>& ids) {
                             log.push_back(RowEvent{K::Removed, uid, {}, ids});
                         });
        QObject::connect(events, &TEngineEvents::resultLinksRemoved, &fReceiver, [this, listed](const QString& uid) {
            log.push_back(RowEvent{K::LinksRemoved, uid, {}, {}, listed(uid)});
        });
        QObject::connect(events, &TEngineEvents::profileAboutToBeRemoved, &fReceiver,
                         [this, listed](const QString& uid) {
                             log.push_back(RowEvent{K::AboutToBeRemoved, uid, {}, {}, listed(uid)});
                         });
    }

    // Every row snapshot of a row id in order (added and changed).
    std::vector<TFolderZipRow> History(quint32 id) const {
        std::vector<TFolderZipRow> seen;
        for (const RowEvent& e : log)
            for (const TFolderZipRow& row : e.rows)
                if (row.Id == id)
                    seen.push_back(row);
        return seen;
    }
    // Folder names of the rows added, in order.
    QStringList AddedNames() const {
        QStringList names;
        for (const RowEvent& e : log)
            if (e.kind == RowEvent::Kind::Added)
                for (const TFolderZipRow& row : e.rows)
                    names << row.Folder;
        return names;
    }
    std::set<quint32> RemovedIds() const {
        std::set<quint32> ids;
        for (const RowEvent& e : log)
            ids.insert(e.ids.begin(), e.ids.end());
        return ids;
    }
    // Folder names of the rows that were shown being archived, in the order
    // their archives were started.
    QStringList ArchivedNames() const {
        QStringList names;
        for (const RowEvent& e : log)
            for (const TFolderZipRow& row : e.rows)
                if (row.Operation == TLumo_Operation::fsZip && !names.contains(row.Folder))
                    names << row.Folder;
        return names;
    }

    // Index of the first event that shows the named row matching, at or
    // after from; -1 when none.
    int FirstShowing(const QString& folder, const std::function<bool(const TFolderZipRow&)>& matches,
                     int from = 0) const {
        for (int i = from; i < static_cast<int>(log.size()); ++i)
            for (const TFolderZipRow& row : log[static_cast<std::size_t>(i)].rows)
                if (row.Folder == folder && matches(row))
                    return i;
        return -1;
    }

    std::vector<RowEvent> log;

private:
    QObject fReceiver;
};

// The rules a window relies on, over the whole log: a row is added once,
// with a number, before any change or removal of it and never after its
// removal; progress stays within 0..100 and rises while its archive is
// written; a row being archived is in the active state. listedBefore: the
// rows listed when the log began.
void ExpectWindowRules(const RowEventLog& events, const QString& uid, std::set<quint32> listedBefore = {}) {
    std::set<quint32> listed = std::move(listedBefore), gone;
    std::map<quint32, int> lastProgress;
    for (const RowEvent& e : events.log) {
        if (e.uid != uid)
            continue;
        for (const TFolderZipRow& row : e.rows) {
            const std::string name = row.Folder.toStdString();
            EXPECT_FALSE(gone.count(row.Id)) << "row shown again after its removal: " << name;
            if (e.kind == RowEvent::Kind::Added) {
                EXPECT_NE(row.Id, 0u) << name;
                EXPECT_TRUE(listed.insert(row.Id).second) << "row added twice: " << name;
            } else {
                EXPECT_TRUE(listed.count(row.Id)) << "row changed before it was added: " << name;
            }
            EXPECT_LE(row.Progress, 100) << name;
            if (row.Operation == TLumo_Operation::fsZip) {
                EXPECT_EQ(row.State, TLumo_FileStatus::flsActive) << name;
                EXPECT_GE(row.Progress, lastProgress[row.Id]) << "progress went back: " << name;
                lastProgress[row.Id] = row.Progress;
            } else {
                EXPECT_EQ(row.Progress, 0) << "progress shown while nothing is written: " << name;
                lastProgress.erase(row.Id);
            }
        }
        for (quint32 id : e.ids) {
            EXPECT_TRUE(listed.count(id)) << "row removed before it was added: " << id;
            listed.erase(id);
            gone.insert(id);
        }
    }
}

// The headless list holds one row per element, in the same order, with the
// element's row number and current values.
void ExpectListIsTheElements(const TFolderZipResultList& list, const TLumo_FolderZip& fz) {
    EXPECT_EQ(list.Faults(), QStringList());
    const auto& elements = fz.Elements();
    ASSERT_EQ(static_cast<std::size_t>(list.Rows().size()), elements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const TFolderZipElement& e = *elements[i];
        const TFolderZipRow& row = list.Rows()[static_cast<qsizetype>(i)];
        const std::string name = e.pFolder.toStdString();
        EXPECT_NE(e.pNode, 0u) << name;
        EXPECT_EQ(row.Id, e.pNode) << name;
        EXPECT_EQ(row.Folder, e.pFolder);
        EXPECT_EQ(row.State, e.pZipState) << name;
        EXPECT_EQ(row.Operation, e.pOperation) << name;
        EXPECT_EQ(row.Progress, e.pProgress) << name;
        EXPECT_EQ(row.Error, e.pError) << name;
        EXPECT_EQ(row.ModifiedText, e.pLastModifiedText) << name;
        EXPECT_EQ(row.Disabled, e.pDisabled) << name;
    }
}

std::set<quint32> RowIds(const TLumo_FolderZip& fz) {
    std::set<quint32> ids;
    for (const auto& element : fz.Elements())
        ids.insert(element->pNode);
    return ids;
}

class FolderZipResultEvents : public FolderZipRunTest {
protected:
    FolderZipResultEvents() {
        WriteSource("Alpha/a.txt", "alpha");
        WriteSource("Alpha/Projects/2024/report.odt", QByteArray(2000, 'r'));
        // Large enough that its archive reports progress on its way.
        WriteSource("Beta/b.bin", QByteArray::fromStdString(archive_test::RandomBytes(6 * 1024 * 1024, 3)));
        WriteSource("Gamma/g.txt", "gamma");
        AgeSourceTree();
    }
};

TEST_F(FolderZipResultEvents, FirstRunAddsARowPerSubfolderAndShowsEachArchiveBeingWritten) {
    TLumo_FolderZip& fz = MakeProfile();
    TFolderZipResultList list(ctx->Events(), fz);
    RowEventLog events(*ctx);
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();

    ExpectWindowRules(events, fz.UID());
    ExpectListIsTheElements(list, fz);
    QStringList added = events.AddedNames();
    added.sort();
    EXPECT_EQ(added, kThree);
    QStringList archived = events.ArchivedNames();
    archived.sort();
    EXPECT_EQ(archived, kThree);
    EXPECT_TRUE(events.RemovedIds().empty());

    for (const QString& name : kThree) {
        const TFolderZipElement* element = fz.FindElement(name);
        ASSERT_NE(element, nullptr);
        const std::vector<TFolderZipRow> history = events.History(element->pNode);
        ASSERT_FALSE(history.empty());
        // Added as found changed, then archived, then done.
        EXPECT_EQ(history.front().State, TLumo_FileStatus::flsModified) << name.toStdString();
        EXPECT_EQ(history.back().State, TLumo_FileStatus::flsOk) << name.toStdString();
        EXPECT_FALSE(history.back().Error);
        EXPECT_TRUE(history.back().ModifiedText.startsWith("Modified: ")) << history.back().ModifiedText.toStdString();
    }
    // Each row is shown done before the next archive is shown starting.
    const auto zipping = [](const TFolderZipRow& row) { return row.Operation == TLumo_Operation::fsZip; };
    const auto done = [](const TFolderZipRow& row) {
        return row.Operation == TLumo_Operation::fsNone && row.State == TLumo_FileStatus::flsOk;
    };
    const QStringList order = events.ArchivedNames();
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        const int started = events.FirstShowing(order[i], zipping);
        const int finished = events.FirstShowing(order[i], done, started);
        const int next = events.FirstShowing(order[i + 1], zipping);
        ASSERT_GE(finished, 0) << order[i].toStdString();
        EXPECT_LT(finished, next) << order[i].toStdString();
    }
    // The large archive's row moved on its way.
    bool beyondZero = false;
    for (const TFolderZipRow& row : events.History(fz.FindElement("Beta")->pNode))
        beyondZero = beyondZero || (row.Operation == TLumo_Operation::fsZip && row.Progress > 0);
    EXPECT_TRUE(beyondZero);
    EXPECT_TRUE(list.HasLinks());
}

TEST_F(FolderZipResultEvents, RunWithOneChangedSubfolderKeepsTheRowsAndShowsOnlyThatOneArchived) {
    TLumo_FolderZip& fz = MakeProfile();
    TFolderZipResultList list(ctx->Events(), fz);
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    std::vector<quint32> before;
    for (const auto& element : fz.Elements())
        before.push_back(element->pNode);

    WriteSource("Gamma/g.txt", "gamma, edited in place");
    const std::set<quint32> listedBefore = RowIds(fz);
    RowEventLog events(*ctx);
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);

    ExpectWindowRules(events, fz.UID(), listedBefore);
    ExpectListIsTheElements(list, fz);
    EXPECT_EQ(events.AddedNames(), QStringList());
    EXPECT_TRUE(events.RemovedIds().empty());
    EXPECT_EQ(events.ArchivedNames(), QStringList{"Gamma"});
    std::vector<quint32> after;
    for (const auto& element : fz.Elements())
        after.push_back(element->pNode);
    EXPECT_EQ(after, before);
    for (const TFolderZipRow& row : list.Rows())
        EXPECT_EQ(row.State, TLumo_FileStatus::flsOk) << row.Folder.toStdString();
}

TEST_F(FolderZipResultEvents, StoppedRunFlagsTheSubfolderBeingArchived) {
    TLumo_FolderZip& fz = MakeProfile();
    TFolderZipResultList list(ctx->Events(), fz);
    RowEventLog events(*ctx);
    // Stopped the moment the second archive is shown starting: the worker
    // waits for that call, so its archive is never complete.
    QString second;
    QObject stopper;
    QObject::connect(&ctx->Events(), &TEngineEvents::folderZipRowsChanged, &stopper,
                     [&](const QString&, const QList<TFolderZipRow>&) {
                         if (!second.isEmpty() || events.ArchivedNames().size() < 2)
                             return;
                         second = events.ArchivedNames()[1];
                         ctx->TaskQueue().AbortTask(*fz.Profile());
                     });
    Run(fz);
    ASSERT_FALSE(second.isEmpty()) << "the run ended before its second archive";
    EXPECT_EQ(fz.LastError(), TLumo_Error::feCanceledByUser);

    ExpectWindowRules(events, fz.UID());
    ExpectListIsTheElements(list, fz);
    const QString first = events.ArchivedNames()[0];
    EXPECT_EQ(events.ArchivedNames().size(), 2);
    for (const TFolderZipRow& row : list.Rows()) {
        const std::string name = row.Folder.toStdString();
        EXPECT_EQ(row.Operation, TLumo_Operation::fsNone) << name;
        if (row.Folder == first) {
            EXPECT_EQ(row.State, TLumo_FileStatus::flsOk) << name;
            EXPECT_FALSE(row.Error) << name;
        } else if (row.Folder == second) {
            EXPECT_EQ(row.State, TLumo_FileStatus::flsActive) << name;
            EXPECT_TRUE(row.Error) << name;
        } else {
            // Never started: still waiting for its archive.
            EXPECT_EQ(row.State, TLumo_FileStatus::flsModified) << name;
            EXPECT_FALSE(row.Error) << name;
        }
    }
    EXPECT_FALSE(QFileInfo::exists(Storage() + second + ".zip"));
}

TEST_F(FolderZipResultEvents, ASubfolderThatCannotBeArchivedIsFlaggedAndTheOthersAreDone) {
    // A name the file system takes whose archive name it does not.
    const QString longName(254, QLatin1Char('L'));
    WriteSource(longName + "/l.txt", "long");
    AgeSourceTree();
    TLumo_FolderZip& fz = MakeProfile();
    TFolderZipResultList list(ctx->Events(), fz);
    RowEventLog events(*ctx);
    Run(fz);
    EXPECT_EQ(fz.LastError(), TLumo_Error::feArchiveNameTooLong);

    ExpectWindowRules(events, fz.UID());
    ExpectListIsTheElements(list, fz);
    ASSERT_EQ(list.Rows().size(), 4);
    for (const TFolderZipRow& row : list.Rows()) {
        EXPECT_EQ(row.Error, row.Folder == longName) << row.Folder.toStdString();
        EXPECT_EQ(row.State == TLumo_FileStatus::flsOk, row.Folder != longName) << row.Folder.toStdString();
    }
}

TEST_F(FolderZipResultEvents, ExcludedAndVanishedSubfoldersLoseTheirRowsAndANewOneGetsOne) {
    TLumo_FolderZip& fz = MakeProfile();
    TFolderZipResultList list(ctx->Events(), fz);
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone);
    const quint32 alpha = fz.FindElement("Alpha")->pNode;
    const quint32 gamma = fz.FindElement("Gamma")->pNode;

    const std::set<quint32> listedBefore = RowIds(fz);
    RowEventLog events(*ctx);
    // Excluding marks the row at once; the next scan drops it.
    fz.SetElementsExcluded({"Alpha"}, true);
    ASSERT_NE(list.Row(alpha), nullptr);
    EXPECT_TRUE(list.Row(alpha)->Disabled);
    EXPECT_EQ(fz.FolderExcludeList(), QStringList{"Alpha"});
    ExpectListIsTheElements(list, fz);

    QDir(Source() + "Gamma").removeRecursively();
    WriteSource("Delta/d.txt", "delta");
    Run(fz);
    ASSERT_EQ(fz.LastError(), TLumo_Error::feNone) << fz.LastErrorText().toStdString();

    ExpectWindowRules(events, fz.UID(), listedBefore);
    ExpectListIsTheElements(list, fz);
    EXPECT_EQ(events.RemovedIds(), (std::set<quint32>{alpha, gamma}));
    EXPECT_EQ(events.AddedNames(), QStringList{"Delta"});
    EXPECT_EQ(events.ArchivedNames(), QStringList{"Delta"});
    QStringList shown;
    for (const TFolderZipRow& row : list.Rows())
        shown << row.Folder;
    EXPECT_EQ(shown, QStringList({"Beta", "Delta"}));
}

TEST_F(FolderZipResultEvents, TakenOverElementsGetRowsInOrderUnlessTheProgramCloses) {
    TFolderZip_Settings loaded;
    loaded.nSourceFolder = Source();
    loaded.nSaveToFolder = Storage();
    loaded.fReplaceElList = true;
    for (const QString& name : kThree) {
        TFolderZipElement element;
        element.pFolder = name;
        element.pNode = 99; // whatever it carries, the list numbers it
        loaded.fElementsList.push_back(element);
    }

    RowEventLog events(*ctx);
    TLumo_FolderZip& shown = TLumo_FolderZip::Create(*ctx, QString());
    shown.ApplyNewSettings(loaded, false);
    EXPECT_EQ(events.AddedNames(), kThree);
    // A window opened afterwards starts from the rows listed.
    TFolderZipResultList late(ctx->Events(), shown);
    ExpectListIsTheElements(late, shown);
    std::set<quint32> ids;
    for (const TFolderZipRow& row : late.Rows())
        ids.insert(row.Id);
    EXPECT_EQ(ids.size(), 3u);
    EXPECT_EQ(ids.count(0), 0u);

    events.log.clear();
    ctx->AppClosing = true;
    TLumo_FolderZip& closing = TLumo_FolderZip::Create(*ctx, QString());
    closing.ApplyNewSettings(loaded, false);
    EXPECT_TRUE(events.log.empty());
    ASSERT_EQ(closing.Elements().size(), 3u);
    for (const auto& element : closing.Elements())
        EXPECT_EQ(element->pNode, 0u) << element->pFolder.toStdString();
    EXPECT_TRUE(closing.Rows().isEmpty());
    ctx->AppClosing = false;
}

TEST_F(FolderZipResultEvents, DeletingAProfileRemovesTheLinksOfKindsWithAResultWindowWhileItIsStillListed) {
    TLumo_FolderZip& fz = MakeProfile();
    Run(fz);
    // The worker is done with the task object only when it has ended.
    ServeMainThreadWhile([&] { return ctx->TaskQueue().IsBusy(*fz.Profile()); });
    TFolderZipResultList list(ctx->Events(), fz);
    ASSERT_EQ(list.Rows().size(), 3);
    const QString folderZipUid = fz.UID();
    const QString syncUid = TLumo_Sync::Create(*ctx, QString()).UID();
    const QString zipUid = TLumo_Zip::Create(*ctx, QString()).UID();

    RowEventLog events(*ctx);
    for (const QString& uid : {folderZipUid, syncUid, zipUid})
        ASSERT_TRUE(ctx->FindProfileByUID(uid)->Delete()) << uid.toStdString();

    using K = RowEvent::Kind;
    std::map<QString, std::vector<std::pair<K, bool>>> byProfile;
    for (const RowEvent& e : events.log)
        byProfile[e.uid].push_back({e.kind, e.profileListed});
    const std::vector<std::pair<K, bool>> withWindow{{K::AboutToBeRemoved, true}, {K::LinksRemoved, true}};
    EXPECT_EQ(byProfile[folderZipUid], withWindow);
    EXPECT_EQ(byProfile[syncUid], withWindow);
    EXPECT_EQ(byProfile[zipUid], (std::vector<std::pair<K, bool>>{{K::AboutToBeRemoved, true}}));
    for (const QString& uid : {folderZipUid, syncUid, zipUid})
        EXPECT_EQ(ctx->FindProfileByUID(uid), nullptr);

    EXPECT_FALSE(list.HasLinks());
    EXPECT_TRUE(list.ProfileRemoved());
    EXPECT_TRUE(list.Rows().isEmpty());
}

} // namespace
