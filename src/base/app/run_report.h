#pragma once

#include <QString>

#include <vector>

class TLumo_BackupProfile;

// What a finished run command prints for its profiles: each profile's three
// row texts (title, status with error, third line) on three lines, with
// entries also every entry left in a sync result list as status<TAB>path.
// anyError is set when some profile's last run ended with an error. The
// command-line tool prints it, and a running instance sends it back when it
// ran the profiles for the tool.
QString RunReport(const std::vector<TLumo_BackupProfile*>& profiles, bool entries, bool& anyError);
