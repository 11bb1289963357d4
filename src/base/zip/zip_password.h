#pragma once

#include <QString>

// The stored (scrambled) archive password after taking over a settings record.
// A password the user has just typed (modified) is scrambled, the empty text
// removing it; otherwise a non-empty value is already in stored form and is
// taken as it is, and an empty one keeps the current password.
QString TakeOverPassword(const QString& current, const QString& nPassword, bool nPasswordModified);

class IniDocument;

// The stored password in a settings section. The scrambled form can hold
// line breaks, which an INI value cannot: such a password is written as hex
// of its UTF-8 under "PasswordHex" (with "Password" left empty), every other
// one under "Password" as it is, so files stay as before for them.
QString ReadStoredPassword(const IniDocument& ini, const QString& section);
void WriteStoredPassword(IniDocument& ini, const QString& section, const QString& stored);
