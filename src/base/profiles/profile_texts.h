#pragma once

#include "profiles/enums.h"

#include <QString>

// Current-language texts of the shared enumerations.
QString OperationText(TLumo_Operation operation);
QString FileStatusText(TLumo_FileStatus status);
// Empty for feNone; otherwise format with its "%s" replaced by the error's message.
QString ErrorText(const QString& format, TLumo_Error error);
