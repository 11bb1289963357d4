#pragma once

#include "profiles/enums.h"

#include <QString>

// The values from which the main window draws one profile's row.
struct TGL_Profile {
    QString txtTitle;
    QString txtStatus;
    QString txtLastSync;
    bool bHaveCron = false;
    TTaskStatus tAction = TTaskStatus::tsNone;
    quint8 iProgress = 0;
    quint8 iFullProgress = 0;
    QString sUID;
    TBackupClass tClass = TBackupClass::bcNone;
};
