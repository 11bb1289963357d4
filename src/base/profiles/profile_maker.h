#pragma once

#include <QString>

#include <functional>

// How a kind's loader makes the profiles named in the settings file. The
// composition root hands it in, so the kinds need not know the profile list.
template <typename Task>
struct TProfileMaker {
    // Whether a key of the kind's list section may become a profile (CanLoadProfileUID).
    std::function<bool(const QString& uid)> CanLoad;
    // Makes the task object with that UID and its profile in the list.
    std::function<Task&(const QString& uid)> Create;
};
