#pragma once

#include "util/stamp_uid.h"

#include <QString>

class TAppContext;

// A new profile UID with the kind's prefix, unique in the context's profile list.
QString MakeProfileUID(const TAppContext& context, const QString& prefix);

// Whether a key of a profile list section may become a profile: not the name of
// one of the file's fixed sections (the writer erases the section named by a
// profile's UID) and not the UID of a profile already loaded (two profiles
// would share one set of sections).
bool CanLoadProfileUID(const TAppContext& context, const QString& uid);
