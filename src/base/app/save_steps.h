#pragma once

#include "ini/ini_document.h"
#include "settings/save_types.h"

class TAppContext;

// Applies one save request to the in-memory settings file, step by step, with
// the values the objects hold now. A profile request whose profile no longer
// exists writes nothing. Runs on the main thread.
void ApplySaveRequest(IniDocument& ini, const TSaveTask& task, const TAppContext& context);
