#pragma once

#include "profiles/enums.h"
#include "scripts/script_list.h"
#include "sync/sync_task.h"



// What a sync run found so far: its error, its statistics and the text of its
// analysis. The worker hands a copy to the main thread, which takes it over
// into the task object (TLumo_Sync::TakeRunResults).
struct TSyncRunResults : TSyncStatistics {
    TLumo_Error fLastError = TLumo_Error::feNone;
};

// What one sync run works on, owned by its worker: a copy of the profile's
// settings and folder pairs taken on the main thread when the run is made,
// and the run's own results. Only the worker touches it, so editing or
// saving the profile meanwhile never meets a half-written value.
struct TSyncRunState : TSyncRunSettings, TSyncRunResults {
    TSyncRunResults Results() const { return *this; }
};
