#pragma once

#include <QString>

#include <compare>

// A four-part version number.
class TLumo_AppVersion {
public:
    TLumo_AppVersion() = default;
    TLumo_AppVersion(quint16 nMajor, quint16 nMinor, quint16 nRelease, quint16 nBuild);
    // Splits the text at its dots from the left: Major is the piece before the
    // first ".", then Minor and Release the same way, and Build whatever is
    // left. A piece that is not a number from 0 to 65535 counts as 0, so a text
    // without dots gives 0.0.0 and the whole text as Build.
    explicit TLumo_AppVersion(const QString& nValue);

    friend auto operator<=>(const TLumo_AppVersion&, const TLumo_AppVersion&) = default;

    quint16 Major = 0;
    quint16 Minor = 0;
    quint16 Release = 0;
    quint16 Build = 0;
};

// True when version a is strictly greater than version b; an empty text counts as "0.0.0.0".
bool IsVersionNewer(const QString& a, const QString& b);

// The running program's version, taken from the build.
TLumo_AppVersion ProgramVersion();

// "major.minor.release.build" of the running program.
QString FileVersionText();
// The four numbers with trailing zero parts dropped, but never fewer than two: "2.1", "2.0", "2.0.3", "2.0.0.7".
QString ShortVersionText(const TLumo_AppVersion& version);
QString ShortVersionText();
// ShortVersionText with the word size of the build, as shown in the About line: "2.1 [64 bit]".
QString VersionCaption();
