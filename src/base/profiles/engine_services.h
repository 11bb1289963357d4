#pragma once

#include "profiles/profile_uid.h"

#include <atomic>
#include <memory>

class TEngineEvents;
class TLumo_BackupProfile;
class TSaveSettings;
class TSchedule;
class TTaskQueue;

// What the profiles, the task queue and the kinds need of the program around
// them. The composition root (TAppContext) implements it; the engine shell
// owns the interface, so nothing below the composition root includes it.
class TEngineServices : public IProfileUIDs {
public:
    // Set when the program closes: nothing more is shown and no run starts.
    // Read on the main thread and, by the settings writer's check, before a pass.
    std::atomic<bool> AppClosing{false};

    virtual TEngineEvents& Events() = 0;
    virtual TTaskQueue& TaskQueue() = 0;
    virtual TSaveSettings& Saver() = 0;
    virtual TSchedule& Schedule() = 0;

    // The profile list owns its profiles, in creation order.
    virtual void AppendProfile(std::unique_ptr<TLumo_BackupProfile> profile) = 0;
    // Takes the profile out of the list and returns it to the caller.
    virtual std::unique_ptr<TLumo_BackupProfile> TakeProfile(const TLumo_BackupProfile& profile) = 0;

protected:
    TEngineServices() = default;
    ~TEngineServices() = default;
    TEngineServices(const TEngineServices&) = delete;
    TEngineServices& operator=(const TEngineServices&) = delete;
};
