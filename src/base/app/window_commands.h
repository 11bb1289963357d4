#pragma once

#include "profiles/display_record.h"

#include <QString>
#include <QStringList>

#include <optional>

class TAppContext;

// The commands a window gives the engine, by profile UID. A window keeps UIDs
// and row values, never a profile: a UID that names no profile any more is
// ignored by every command here. Main thread only.

// A copy of the profile's current row values; none for an unknown UID.
std::optional<TGL_Profile> ProfileRow(const TAppContext& context, const QString& uid);

// Idle: neither queued nor running (the profile's queue state is tsNone).
bool IsProfileIdle(const TAppContext& context, const QString& uid);

// Queues a normal run or an analysis (nothing when queued or running already).
void RunProfile(TAppContext& context, const QString& uid, bool onlyScan);
// Stops the running run or takes the queued one out.
void AbortProfile(TAppContext& context, const QString& uid);
// The toggle of a row's action button: stops a queued or running profile,
// otherwise queues a normal run.
void ToggleProfileRun(TAppContext& context, const QString& uid);

// Deletes the idle profiles among the UIDs, in order; busy and unknown ones are
// skipped. When anything was deleted the schedule and the row order are saved.
// Returns the UIDs deleted.
QStringList DeleteIdleProfiles(TAppContext& context, const QStringList& uids);

// The rows' order as the user arranged it; saved with the next pass.
void SetRowOrder(TAppContext& context, const QStringList& uids);

// Lowers the running worker to idle priority when the option asks for it and
// the main window is hidden; otherwise back to normal. Called when the window
// hides or shows and when a run starts.
void ApplyTaskPriority(TAppContext& context, bool mainFormHidden);

// Whether a run is under way (for the tray animation at start).
bool IsQueueRunning(const TAppContext& context);

// The last save pass of the program, written and awaited even while the
// context is closing; a second pass follows when the first only made the data
// folder. Its failure is ignored: closing goes on.
void WriteFinalSave(TAppContext& context);

// The engine's part of closing the program, in its fixed order: AppClosing and
// the stop of every run, the schedule entries stopped, the queue awaited until
// empty, then the final save pass. The profiles stay for the context to
// release. Each step's failure is ignored so that the next one still runs.
void ShutdownEngine(TAppContext& context);
