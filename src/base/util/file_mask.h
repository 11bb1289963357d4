#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// A file-name mask, compiled once and matched many times (the directory
// scanner tests every entry against every exclusion mask). Matching ignores
// letter case: "*" stands for any run of characters (also none), "?" for
// exactly one character, "[...]" for one character of the set, with ranges
// such as "a-z" and a leading "!" that negates the set. Every other character
// stands for itself, path separators included. A "[" that does not open a
// well-formed, non-empty set stands for itself.
class TFileMask {
public:
    explicit TFileMask(const QString& mask);

    bool Matches(const QString& name) const;

private:
    enum class TTokenKind : std::uint8_t { Literal, AnyChar, AnyRun, Set };
    struct TRange {
        char32_t low;
        char32_t high;
    };
    struct TToken {
        TTokenKind kind;
        bool negated;
        char32_t folded;  // Literal: the case-folded character
        int firstRange;   // Set: fRanges[firstRange, endRange)
        int endRange;
    };

    bool MatchesOne(const TToken& token, char32_t c) const;
    bool InSet(const TToken& token, char32_t c) const;

    std::vector<TToken> fTokens;
    std::vector<TRange> fRanges;
    int fFixedLength = 0;   // characters the tokens other than "*" consume
    bool fHasRun = false;   // the mask holds a "*"
};

// One-off match; compile a TFileMask instead when the mask is used repeatedly.
bool MatchesMask(const QString& name, const QString& mask);
