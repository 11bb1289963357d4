#pragma once

#include "scripts/script_list.h"

#include <QByteArray>
#include <QString>

#include <string>

// One line per action: kind ordinal, its lines, then its branches indented.
// Lets a test compare whole lists with a readable difference.
std::string DescribeScripts(const TLumo_ScriptList& list, int indent = 0);

// The bytes of a stored value: hex decoded and inflated with zlib itself, so
// tests check the stored form without the program's own unpacking.
QByteArray InflateStoredValue(const QString& hex);

// A zlib stream of the bytes as upper-case hex, made with zlib itself.
QString DeflateToStoredValue(const QByteArray& bytes);
