#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class TAppContext;

// What the main window puts into effect when the general settings change; each
// is optional (the jump list has no counterpart on this platform).
struct TGeneralSettingsHooks {
    // The process priority for the current visibility and the new options.
    std::function<void()> ApplyTaskPriority;
    // Stop the tray animation, reset the icon to its first image, show or hide it.
    std::function<void(bool show)> ShowTrayIcon;
    std::function<void()> UpdateJumpList;
    // Called after the settings page has closed.
    std::function<void(bool stayOnTop)> ApplyStayOnTop;
};

// The values of the general settings page.
struct TGeneralSettingsValues {
    bool Autorun = false;
    bool DelayedStart = true;
    bool LowPriorityWhenHiden = true;
    bool ShowTrayIcon = true;
    bool StayOnTop = false;
    bool ShowIconsInResult = true;
    bool AutoUpdateCheck = true;
    bool BetaVersion = false;
    bool PortableMode = false;
    // 0 English, 1 Russian, from 2 on LanguageFiles[index - 2].
    int LanguageIndex = 0;
};

// The items of the language list: "English", "Русский - Russian", then the
// language files of the folder.
QStringList LanguageItems(const TAppContext& context);
// The item that the current options name.
int CurrentLanguageIndex(const TAppContext& context);
// The page's values from the current options, the autorun entry and the marker.
TGeneralSettingsValues CurrentGeneralSettings(const TAppContext& context);

// Takes the page into the options and puts them into effect in order: autorun,
// priority, tray icon, the plain options, portable mode, language (every open
// window is told of the change), then stMain. Returns false when the page is to
// stay open: portable mode was just turned on and nothing after it ran.
bool ApplyGeneralSettings(TAppContext& context, const TGeneralSettingsValues& values,
                          const TGeneralSettingsHooks& hooks, QWidget* parent);

// Tells every top-level window that the language changed; each re-applies
// its texts in its changeEvent.
void AnnounceLanguageChange();
