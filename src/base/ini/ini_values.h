#pragma once

#include "ini/ini_document.h"
#include "util/date_time.h"

#include <QString>
#include <QStringList>

// Typed access to INI values with the program's reading rules: an unreadable
// value gives the key's default.

// The longest text that a packed list may unpack to. Real lists (profile order,
// script lists) are a few kilobytes; the bound keeps a damaged or hostile value
// from inflating to gigabytes at start.
inline constexpr qsizetype kMaxPackedListSize = qsizetype{16} << 20;

// Decimal, "$hex" or "0xhex" integers; false for anything else.
bool ParseIniInteger(const QString& text, qint64& value);

int IniReadInteger(const IniDocument& ini, const QString& section, const QString& key, int defaultValue);
qint64 IniReadInt64(const IniDocument& ini, const QString& section, const QString& key, qint64 defaultValue);
// An integer counts as true when it is not 0; other text gives the default.
bool IniReadBool(const IniDocument& ini, const QString& section, const QString& key, bool defaultValue);
QString IniReadString(const IniDocument& ini, const QString& section, const QString& key,
                      const QString& defaultValue = {});
// 14-digit stamp; another length gives 0. An impossible date throws EConvertError.
TDateTime IniReadDateTime(const IniDocument& ini, const QString& section, const QString& key);

void IniWriteInteger(IniDocument& ini, const QString& section, const QString& key, qint64 value);
void IniWriteBool(IniDocument& ini, const QString& section, const QString& key, bool value);
void IniWriteDateTime(IniDocument& ini, const QString& section, const QString& key, TDateTime value);

// Packed list: lines joined with CR LF after every line, zlib-compressed, as
// upper-case hex; a line break inside a line is written as a space.
// Written in UTF-8 without a byte-order mark. Read by a leading
// byte-order mark (UTF-8, UTF-16 LE or BE) when there is one, otherwise as UTF-8
// when valid, otherwise in the system's 8-bit code page. A value that does not
// decode, or whose text is longer than kMaxPackedListSize, gives an empty list.
QString PackList(const QStringList& lines, bool* ok = nullptr);
QStringList UnpackList(const QString& value);
