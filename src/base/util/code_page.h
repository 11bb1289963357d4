#pragma once

#include <QByteArray>
#include <QString>

// The system's 8-bit "ANSI" code page: Windows-1251 when the system language is
// Russian, otherwise Windows-1252. Full 256-entry reversible tables.
enum class TAnsiCodePage { Cp1252, Cp1251 };

// The page chosen from the system language (LANG / LC_MESSAGES / LC_ALL).
TAnsiCodePage SystemAnsiCodePage();

QString DecodeAnsi(const QByteArray& bytes, TAnsiCodePage page = SystemAnsiCodePage());
// Characters the page cannot hold become '?'.
QByteArray EncodeAnsi(const QString& text, TAnsiCodePage page = SystemAnsiCodePage());
