#pragma once

#include "util/stamp_uid.h"

#include <QString>

// The profile list as the UID rules see it; the application context implements it.
class IProfileUIDs {
public:
    // No profile in the list has this UID.
    virtual bool IsUIDUnique(const QString& uid) const = 0;

protected:
    ~IProfileUIDs() = default;
};

// A new profile UID with the kind's prefix, unique in the profile list.
QString MakeProfileUID(const IProfileUIDs& profiles, const QString& prefix);

// Whether a key of a profile list section may become a profile: not the name of
// one of the file's fixed sections (the writer erases the section named by a
// profile's UID) and not the UID of a profile already loaded (two profiles
// would share one set of sections).
bool CanLoadProfileUID(const IProfileUIDs& profiles, const QString& uid);
