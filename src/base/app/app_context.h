#pragma once

#include "lang/language.h"
#include "profiles/backup_profile.h"
#include "profiles/engine_events.h"
#include "profiles/engine_questions.h"
#include "profiles/engine_services.h"
#include "profiles/profile_kinds.h"
#include "profiles/profile_uid.h"
#include "settings/global_options.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

class TSaveSettings;
class TSchedule;
class TTaskQueue;

// Where the program keeps its data.
struct TAppPaths {
    QString DataFolder; // ends with the path separator
    QString LangFolder; // ends with the path separator
    // The folder of the program (portable marker, downloaded updates); ends with
    // the path separator. Empty: the folder of the running executable.
    QString ProgramFolder{};
    QString SettingsFile() const { return DataFolder + QStringLiteral("Backup.ini"); }
};

// The application's global state: options, language, profiles, schedule and
// the settings store. The program creates one; tests create and destroy their
// own. The newest living context is the current one.
class TAppContext : public TEngineServices {
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
    // Set while the settings file is restored or reset: no save pass starts.
    bool SettingsLocked = false;

    // What the engine tells its subscribers; lives as long as the context.
    TEngineEvents& Events() override { return *fEvents; }
    // Who answers the engine's questions: unattended answers unless a window
    // has set itself (not owned; nullptr goes back to the unattended answers).
    IEngineQuestions& Questions() { return fQuestions ? *fQuestions : fUnattended; }
    void SetQuestions(IEngineQuestions* questions) { fQuestions = questions; }

    // The kinds the settings file holds, in loading order: the three of the
    // program, registered at construction; a test may add one of its own.
    TProfileKinds& ProfileKinds() { return fProfileKinds; }
    const TProfileKinds& ProfileKinds() const { return fProfileKinds; }

    // Profiles in creation order; the list owns them.
    const std::vector<std::unique_ptr<TLumo_BackupProfile>>& Profiles() const { return fProfiles; }
    TLumo_BackupProfile* FindProfileByUID(const QString& uid) const;
    bool IsUIDUnique(const QString& uid) const override;
    void AppendProfile(std::unique_ptr<TLumo_BackupProfile> profile) override;
    // Takes the profile out of the list and returns it to the caller.
    std::unique_ptr<TLumo_BackupProfile> TakeProfile(const TLumo_BackupProfile& profile) override;
    void ClearProfiles();

    // The schedule entries; the schedule finds and starts profiles through this context.
    TSchedule& Schedule() override { return *fSchedule; }
    const TSchedule& Schedule() const { return *fSchedule; }

    TTaskQueue& TaskQueue() override { return *fTaskQueue; }
    const TTaskQueue& TaskQueue() const { return *fTaskQueue; }

    TSaveSettings& Saver() override { return *fSaver; }
    const TSaveSettings& Saver() const { return *fSaver; }

    // The rows in display order: the order a window set, otherwise the stored
    // order ("Positions"); the UIDs of it that name a profile first, then every
    // other profile in load order.
    QStringList DisplayOrderUIDs() const;
    // A window that lets the user order its rows sets the order here; main thread.
    void SetDisplayOrder(QStringList uids) { fDisplayOrder = std::move(uids); }

    void UpdateAllHaveCron();
    void RefreshAllProfileTexts();

private:
    void UnindexProfile(const TLumo_BackupProfile& profile);
    void ReleaseProfiles();

    TAppPaths fPaths;
    // Declared before every member that emits, so that it outlives them all.
    std::unique_ptr<TEngineEvents> fEvents;
    TUnattendedAnswers fUnattended;
    IEngineQuestions* fQuestions = nullptr;
    std::optional<QStringList> fDisplayOrder;
    TProfileKinds fProfileKinds;
    std::vector<std::unique_ptr<TLumo_BackupProfile>> fProfiles;
    // UID -> the first profile in the list with it. A profile's UID is fixed
    // at its creation, so adding and taking profiles keep the index in step.
    QHash<QString, TLumo_BackupProfile*> fProfileByUID;
    std::unique_ptr<TSchedule> fSchedule;
    std::unique_ptr<TSaveSettings> fSaver;
    std::unique_ptr<TTaskQueue> fTaskQueue;
};
