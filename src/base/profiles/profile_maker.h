#pragma once

#include "ini/ini_document.h"
#include "profiles/engine_services.h"
#include "profiles/profile_uid.h"

#include <QString>

#include <functional>

// How a kind's loader makes the profiles named in the settings file. Its
// registration record builds one on the engine services (ProfileMakerIn), so
// the loader itself need not know the profile list.
template <typename Task>
struct TProfileMaker {
    // Whether a key of the kind's list section may become a profile (CanLoadProfileUID).
    std::function<bool(const QString& uid)> CanLoad;
    // Makes the task object with that UID and its profile in the list.
    std::function<Task&(const QString& uid)> Create;
};

// The maker that puts the profiles in the services' profile list, skipping the
// keys that cannot be profiles there.
template <typename Task>
TProfileMaker<Task> ProfileMakerIn(TEngineServices& services) {
    return {[&services](const QString& uid) { return CanLoadProfileUID(services, uid); },
            [&services](const QString& uid) -> Task& { return Task::Create(services, uid); }};
}

// A kind's reader for its registration record: load with the maker of the
// services' profile list.
template <typename Task>
auto LoaderWithMaker(void (*load)(const IniDocument& ini, const TProfileMaker<Task>& maker)) {
    return [load](const IniDocument& ini, TEngineServices& services) { load(ini, ProfileMakerIn<Task>(services)); };
}
