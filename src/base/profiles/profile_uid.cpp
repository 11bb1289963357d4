#include "profiles/profile_uid.h"

QString MakeProfileUID(const IProfileUIDs& profiles, const QString& prefix) {
    return MakeStampUID(prefix, [&profiles](const QString& uid) { return profiles.IsUIDUnique(uid); });
}

bool CanLoadProfileUID(const IProfileUIDs& profiles, const QString& uid) {
    return !uid.trimmed().isEmpty() && !IsFixedSectionName(uid) && profiles.IsUIDUnique(uid);
}
