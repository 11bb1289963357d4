#pragma once

#include "lang/language.h"
#include "profiles/backup_profile.h"
#include "profiles/profile_uid.h"
#include "settings/global_options.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <vector>

class TSaveSettings;
class TSchedule;
class TTaskQueue;

// What the engine needs from the window that lists the profiles. The desktop
// program implements it; without a window the context keeps its own order.
class IProfileListView {
public:
    virtual ~IProfileListView() = default;
    virtual void RepaintProfile(const TLumo_BackupProfile& profile) = 0;
    // UIDs of the rows in display order.
    virtual QStringList RowUIDs() const = 0;
};

// Where the program keeps its data.
struct TAppPaths {
    QString DataFolder; // ends with the path separator
    QString LangFolder; // ends with the path separator
    QString SettingsFile() const { return DataFolder + QStringLiteral("Backup.ini"); }
};

// The application's global state: options, language, profiles, schedule and
// the settings store. The program creates one; tests create and destroy their
// own. The newest living context is the current one.
class TAppContext : public IProfileUIDs {
public:
    explicit TAppContext(TAppPaths paths);
    ~TAppContext();
    TAppContext(const TAppContext&) = delete;
    TAppContext& operator=(const TAppContext&) = delete;

    static TAppContext& Current();

    const TAppPaths& Paths() const { return fPaths; }

    TGlobalOptions Options;
    TLanguage Language;
    // "Rus" or "Eng", detected once at start.
    QString SystemLanguage;
    std::atomic<bool> AppClosing{false};
    // Set while the settings file is restored or reset: no save pass starts.
    bool SettingsLocked = false;
    IProfileListView* View = nullptr;

    // Profiles in creation order; the list owns them.
    const std::vector<std::unique_ptr<TLumo_BackupProfile>>& Profiles() const { return fProfiles; }
    TLumo_BackupProfile* FindProfileByUID(const QString& uid) const;
    bool IsUIDUnique(const QString& uid) const override;
    void AppendProfile(std::unique_ptr<TLumo_BackupProfile> profile);
    // Takes the profile out of the list and returns it to the caller.
    std::unique_ptr<TLumo_BackupProfile> TakeProfile(const TLumo_BackupProfile& profile);
    void ClearProfiles();

    // The schedule entries; the schedule finds and starts profiles through this context.
    TSchedule& Schedule() { return *fSchedule; }
    const TSchedule& Schedule() const { return *fSchedule; }

    TTaskQueue& TaskQueue() { return *fTaskQueue; }
    const TTaskQueue& TaskQueue() const { return *fTaskQueue; }

    TSaveSettings& Saver() { return *fSaver; }
    const TSaveSettings& Saver() const { return *fSaver; }

    // The rows in display order: the window's when there is one, otherwise
    // the stored order ("Positions") first, then every other profile in load order.
    QStringList DisplayOrderUIDs() const;

    void UpdateAllHaveCron();
    void RefreshAllProfileTexts();

private:
    void UnindexProfile(const TLumo_BackupProfile& profile);

    TAppPaths fPaths;
    std::vector<std::unique_ptr<TLumo_BackupProfile>> fProfiles;
    // UID -> the first profile in the list with it. A profile's UID is fixed
    // at its creation, so adding and taking profiles keep the index in step.
    QHash<QString, TLumo_BackupProfile*> fProfileByUID;
    std::unique_ptr<TSchedule> fSchedule;
    std::unique_ptr<TSaveSettings> fSaver;
    std::unique_ptr<TTaskQueue> fTaskQueue;
};
