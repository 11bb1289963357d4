#include "util/file_mask.h"

#include <QVarLengthArray>

namespace {

using TCodePoints = QVarLengthArray<char32_t, 256>;

// Whole characters rather than UTF-16 units, so that "?" consumes one
// character even outside the basic plane.
TCodePoints ToCodePoints(const QString& text) {
    TCodePoints points;
    points.reserve(text.size());
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < size && text[i + 1].isLowSurrogate()) {
            points.append(QChar::surrogateToUcs4(unit, text[i + 1]));
            ++i;
        } else {
            points.append(unit.unicode());
        }
    }
    return points;
}

char32_t Fold(char32_t c) { return QChar::toCaseFolded(c); }

} // namespace

TFileMask::TFileMask(const QString& mask) {
    const TCodePoints points = ToCodePoints(mask);
    const qsizetype size = points.size();
    qsizetype i = 0;
    while (i < size) {
        const char32_t c = points[i];
        if (c == U'*') {
            if (fTokens.empty() || fTokens.back().kind != TTokenKind::AnyRun)
                fTokens.push_back({TTokenKind::AnyRun, false, 0, 0, 0});
            fHasRun = true;
            ++i;
            continue;
        }
        ++fFixedLength;
        if (c == U'?') {
            fTokens.push_back({TTokenKind::AnyChar, false, 0, 0, 0});
            ++i;
            continue;
        }
        if (c == U'[') {
            qsizetype j = i + 1;
            const bool negated = j < size && points[j] == U'!';
            if (negated)
                ++j;
            const int firstRange = static_cast<int>(fRanges.size());
            while (j < size && points[j] != U']') {
                const char32_t low = points[j];
                if (j + 2 < size && points[j + 1] == U'-' && points[j + 2] != U']') {
                    fRanges.push_back({low, points[j + 2]});
                    j += 3;
                } else {
                    fRanges.push_back({low, low});
                    ++j;
                }
            }
            const int endRange = static_cast<int>(fRanges.size());
            if (j < size && endRange > firstRange) {
                fTokens.push_back({TTokenKind::Set, negated, 0, firstRange, endRange});
                i = j + 1;
                continue;
            }
            fRanges.resize(static_cast<std::size_t>(firstRange)); // not a set: the "[" is an ordinary character
        }
        fTokens.push_back({TTokenKind::Literal, false, Fold(c), 0, 0});
        ++i;
    }
}

bool TFileMask::InSet(const TToken& token, char32_t c) const {
    // Both letter cases are tried against the ranges as written, so "[a-f]"
    // and "[A-F]" accept the same names.
    const char32_t variants[] = {c, QChar::toUpper(c), QChar::toLower(c)};
    for (int r = token.firstRange; r < token.endRange; ++r) {
        const TRange& range = fRanges[static_cast<std::size_t>(r)];
        for (const char32_t v : variants)
            if (v >= range.low && v <= range.high)
                return true;
    }
    return false;
}

bool TFileMask::MatchesOne(const TToken& token, char32_t c) const {
    switch (token.kind) {
    case TTokenKind::Literal:
        return c == token.folded || Fold(c) == token.folded;
    case TTokenKind::AnyChar:
        return true;
    case TTokenKind::Set:
        return InSet(token, c) != token.negated;
    case TTokenKind::AnyRun:
        break;
    }
    return false;
}

bool TFileMask::Matches(const QString& name) const {
    // Cheap length checks first: most names fail a mask such as "*.tmp" here or at the first literal.
    if (name.size() < fFixedLength || (!fHasRun && name.size() > 2 * static_cast<qsizetype>(fFixedLength)))
        return false;
    const TCodePoints points = ToCodePoints(name);
    const qsizetype count = points.size();
    if (count < fFixedLength || (!fHasRun && count != fFixedLength))
        return false;

    // Left-to-right match that backtracks only to the most recent "*": every
    // other token consumes exactly one character, so that is enough.
    const std::size_t tokenCount = fTokens.size();
    std::size_t t = 0;
    qsizetype i = 0;
    std::size_t afterRun = tokenCount + 1; // none yet
    qsizetype runStart = 0;
    while (i < count) {
        if (t < tokenCount && fTokens[t].kind == TTokenKind::AnyRun) {
            afterRun = ++t;
            runStart = i;
            continue;
        }
        if (t < tokenCount && MatchesOne(fTokens[t], points[i])) {
            ++t;
            ++i;
            continue;
        }
        if (afterRun > tokenCount)
            return false;
        t = afterRun;
        i = ++runStart;
    }
    while (t < tokenCount && fTokens[t].kind == TTokenKind::AnyRun)
        ++t;
    return t == tokenCount;
}

bool MatchesMask(const QString& name, const QString& mask) { return TFileMask(mask).Matches(name); }
