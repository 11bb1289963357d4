#include "profiles/profile_uid.h"

#include "app/app_context.h"

QString MakeProfileUID(const TAppContext& context, const QString& prefix) {
    return MakeStampUID(prefix, [&context](const QString& uid) { return context.IsUIDUnique(uid); });
}

bool CanLoadProfileUID(const TAppContext& context, const QString& uid) {
    return !uid.trimmed().isEmpty() && !IsFixedSectionName(uid) && context.IsUIDUnique(uid);
}
