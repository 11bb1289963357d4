#pragma once

#include "ini/ini_document.h"
#include "util/date_time.h"

#include <QString>
#include <QStringList>

// The application-wide options of the section "Main".
struct TGlobalOptions {
    QString Language;
    bool LanguageLocal = true;
    bool ShowTrayIcon = true;
    bool StayOnTop = false;
    bool ShowIconsInResult = true;
    bool BetaVersion = false;
    bool AutoUpdateCheck = true;
    TDateTime AutoUpdateLast = 0;
    bool DelayedStart = true;
    bool LowPriorityWhenHiden = true;
    bool UpdateAvailable = false;
    // Not stored in the file: decided by the marker beside the program.
    bool PortableMode = false;
};

inline const QString kMainSection = QStringLiteral("Main");

// Reads "Main": the options and the profile order ("Positions"). A value that
// cannot be read keeps its default; an impossible date stops the reading with
// the values read so far kept.
void LoadMainSection(const IniDocument& ini, TGlobalOptions& options, QStringList& positions);
// The eleven option keys, in their fixed order.
void WriteMainOptions(IniDocument& ini, const TGlobalOptions& options);
// Deletes "Positions" and writes it anew at the end of "Main" (left deleted
// when the list cannot be packed).
void WritePositions(IniDocument& ini, const QStringList& uids);
