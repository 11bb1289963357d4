#pragma once

#include <QString>

// The stored (scrambled) archive password after taking over a settings record.
// A password the user has just typed (modified) is scrambled, the empty text
// removing it; otherwise a non-empty value is already in stored form and is
// taken as it is, and an empty one keeps the current password.
QString TakeOverPassword(const QString& current, const QString& nPassword, bool nPasswordModified);
