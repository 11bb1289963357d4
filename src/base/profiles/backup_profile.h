#pragma once

#include "profiles/display_record.h"
#include "profiles/enums.h"
#include "scripts/script_list.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class TLumo_Sync;
class TLumo_Zip;
class TLumo_FolderZip;
class TAppContext;

// The kind-independent shell around one job: queue state, display record and
// the two script lists. Exactly one task object is set, matching the kind.
class TLumo_BackupProfile {
public:
    ~TLumo_BackupProfile();
    TLumo_BackupProfile(const TLumo_BackupProfile&) = delete;
    TLumo_BackupProfile& operator=(const TLumo_BackupProfile&) = delete;

    // Each task object's constructor creates its profile through one of these;
    // the profile is appended to the context's profile list, which owns it and
    // through it the task object.
    static TLumo_BackupProfile& NewSync(TAppContext& context, std::unique_ptr<TLumo_Sync> task);
    static TLumo_BackupProfile& NewZip(TAppContext& context, std::unique_ptr<TLumo_Zip> task);
    static TLumo_BackupProfile& NewFolderZip(TAppContext& context, std::unique_ptr<TLumo_FolderZip> task);

    TBackupClass Kind() const { return fIsType; }
    const QString& UID() const { return fValues.sUID; }
    QString Title() const;

    TLumo_Sync* Sync() const { return fSync.get(); }
    TLumo_Zip* Zip() const { return fZip.get(); }
    TLumo_FolderZip* FolderZip() const { return fFolderZip.get(); }

    TTaskStatus Status() const { return fStatus; }
    void SetStatus(TTaskStatus status) { fStatus = status; }
    const TGL_Profile& Values() const { return fValues; }
    TAppContext& Context() const { return fContext; }

    const TLumo_ScriptList& ScriptsBefore() const { return fScriptList_Before; }
    const TLumo_ScriptList& ScriptsAfter() const { return fScriptList_After; }
    // Replaces both lists by deep copies; posts stProfileScripts when asked.
    void SetScriptLists(const TLumo_ScriptList& before, const TLumo_ScriptList& after, bool nNeedSave);

    // Queues a run through the task queue (nothing when queued or running);
    // AbortTask stops it or takes it out of the queue.
    void RunTask(bool nOnlyScan, const std::optional<QStringList>& nList = std::nullopt);
    void AbortTask();

    void SetFullValues();
    void SetProgress();
    void RepaintNode();
    void UpdateHaveCron();
    // Queues a normal run, refreshes the schedule mark and stores the firing.
    void OnCronAction();

    // Removes the profile for good: its schedule entries, its sections (by a
    // save request) and the profile itself; the reference is dangling
    // afterwards. Refused (false, nothing changed) while the profile is busy:
    // queued, running, or stopped with its worker still winding down.
    bool Delete();

private:
    TLumo_BackupProfile(TAppContext& context, TBackupClass kind, const QString& uid);
    static TLumo_BackupProfile& Append(TAppContext& context, std::unique_ptr<TLumo_BackupProfile> profile);

    TAppContext& fContext;
    std::unique_ptr<TLumo_FolderZip> fFolderZip;
    std::unique_ptr<TLumo_Sync> fSync;
    std::unique_ptr<TLumo_Zip> fZip;
    TTaskStatus fStatus = TTaskStatus::tsNone;
    TGL_Profile fValues;
    TBackupClass fIsType;
    TLumo_ScriptList fScriptList_Before;
    TLumo_ScriptList fScriptList_After;
};
