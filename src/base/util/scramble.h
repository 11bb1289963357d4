#pragma once

#include "util/code_page.h"

#include <QString>

// Reversible scrambling of stored archive passwords: ScrambleText(ScrambleText(t)) == t
// for every text whose characters exist in the 8-bit code page; other characters
// become "?". The key is fixed: changing it makes every stored password unreadable.
QString ScrambleText(const QString& text, TAnsiCodePage page);
QString ScrambleText(const QString& text);
