#pragma once

#include "profiles/display_record.h"
#include "profiles/enums.h"
#include "profiles/task_object.h"
#include "scripts/script_list.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class TLumo_Sync;
class TLumo_Zip;
class TLumo_FolderZip;
class TEngineServices;

// The kind-independent shell around one job: queue state, display record and
// the two script lists. It owns its task object, of the profile's kind, and
// reaches it only through ITaskObject.
class TLumo_BackupProfile {
public:
    ~TLumo_BackupProfile();
    TLumo_BackupProfile(const TLumo_BackupProfile&) = delete;
    TLumo_BackupProfile& operator=(const TLumo_BackupProfile&) = delete;

    // Each kind's task object creates its profile through this; the profile
    // is appended to the context's profile list, which owns it and through it
    // the task object.
    static TLumo_BackupProfile& New(TEngineServices& context, TBackupClass kind, const QString& uid,
                                    std::unique_ptr<ITaskObject> task);

    TBackupClass Kind() const { return fIsType; }
    const QString& UID() const { return fValues.sUID; }
    QString Title() const;

    ITaskObject& Task() const { return *fTask; }
    // The task object as its own kind, for code that knows the kind (its
    // engine, its windows); null for a profile of another kind. Each is
    // defined beside its task object.
    TLumo_Sync* Sync() const;
    TLumo_Zip* Zip() const;
    TLumo_FolderZip* FolderZip() const;

    TTaskStatus Status() const { return fStatus; }
    void SetStatus(TTaskStatus status) { fStatus = status; }
    const TGL_Profile& Values() const { return fValues; }
    TEngineServices& Context() const { return fContext; }

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
    // Tells the result window of a kind that has one to drop its link
    // controls (the profile is being deleted).
    void RemoveLinks();

private:
    TLumo_BackupProfile(TEngineServices& context, TBackupClass kind, const QString& uid, std::unique_ptr<ITaskObject> task);
    // The task object when the profile is of kind, else null.
    ITaskObject* TaskOfKind(TBackupClass kind) const { return fIsType == kind ? fTask.get() : nullptr; }

    TEngineServices& fContext;
    std::unique_ptr<ITaskObject> fTask;
    TTaskStatus fStatus = TTaskStatus::tsNone;
    TGL_Profile fValues;
    TBackupClass fIsType;
    TLumo_ScriptList fScriptList_Before;
    TLumo_ScriptList fScriptList_After;
};
