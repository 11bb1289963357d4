#pragma once

#include "gui/settings/general_settings.h"
#include "profiles/enums.h"

#include <QString>

class QWidget;
class TAppContext;

// The main window's entry points to the profile editor. Each opens the editor
// modally and returns when it has closed.

// Edits the profile with that UID; true when the changes were stored (the task
// object posted stFullProfile). A UID that names no profile does nothing.
bool EditProfile(TAppContext& context, const QString& uid, QWidget* parent,
                 const TGeneralSettingsHooks& hooks = {});

// Creates a profile of the kind; the UID of the new profile, appended to the
// profile list with stFullProfile and stListPos posted, or empty when the user
// cancelled. The caller appends its row.
QString CreateProfile(TAppContext& context, TBackupClass kind, QWidget* parent,
                      const TGeneralSettingsHooks& hooks = {});

// Opens the general settings page; true when they were applied.
bool EditGeneralSettings(TAppContext& context, QWidget* parent, const TGeneralSettingsHooks& hooks = {});

// At the first start there is no settings file yet: the main window asks this
// when it is created (before anything is saved) and, when true, opens the
// general settings at its first show.
bool IsFirstStart(const TAppContext& context);
