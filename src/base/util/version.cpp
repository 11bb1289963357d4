#include "util/version.h"

#include <QStringList>

#ifndef NORVANE_VERSION
#define NORVANE_VERSION "0.1.0"
#endif

namespace {

// Values beyond 16 bits are treated like any other non-number, rather than
// silently wrapping round to a smaller version.
quint16 PieceToWord(const QString& piece) {
    bool ok = false;
    const uint value = piece.toUInt(&ok);
    return ok && value <= 0xFFFF ? static_cast<quint16>(value) : 0;
}

// Takes the piece before the first "." and removes it with the dot; without a
// dot the piece is empty and the text stays as it is.
quint16 TakeLeadingPiece(QString& rest) {
    const qsizetype dot = rest.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return 0;
    const quint16 value = PieceToWord(rest.left(dot));
    rest.remove(0, dot + 1);
    return value;
}

} // namespace

TLumo_AppVersion::TLumo_AppVersion(quint16 nMajor, quint16 nMinor, quint16 nRelease, quint16 nBuild)
    : Major(nMajor), Minor(nMinor), Release(nRelease), Build(nBuild) {}

TLumo_AppVersion::TLumo_AppVersion(const QString& nValue) {
    QString rest = nValue;
    Major = TakeLeadingPiece(rest);
    Minor = TakeLeadingPiece(rest);
    Release = TakeLeadingPiece(rest);
    Build = PieceToWord(rest);
}

bool IsVersionNewer(const QString& a, const QString& b) {
    const QString kZero = QStringLiteral("0.0.0.0");
    return TLumo_AppVersion(a.isEmpty() ? kZero : a) > TLumo_AppVersion(b.isEmpty() ? kZero : b);
}

TLumo_AppVersion ProgramVersion() {
    // The build's version has one to four parts ("0.1.0"); missing parts are 0.
    const QStringList parts = QStringLiteral(NORVANE_VERSION).split(QLatin1Char('.'));
    quint16 numbers[4] = {0, 0, 0, 0};
    for (qsizetype i = 0; i < parts.size() && i < 4; ++i)
        numbers[i] = PieceToWord(parts[i]);
    return TLumo_AppVersion(numbers[0], numbers[1], numbers[2], numbers[3]);
}

QString FileVersionText() {
    const TLumo_AppVersion v = ProgramVersion();
    return QStringLiteral("%1.%2.%3.%4").arg(v.Major).arg(v.Minor).arg(v.Release).arg(v.Build);
}

QString ShortVersionText(const TLumo_AppVersion& version) {
    QString text = QStringLiteral("%1.%2").arg(version.Major).arg(version.Minor);
    if (version.Release != 0 || version.Build != 0)
        text += QStringLiteral(".%1").arg(version.Release);
    if (version.Build != 0)
        text += QStringLiteral(".%1").arg(version.Build);
    return text;
}

QString ShortVersionText() { return ShortVersionText(ProgramVersion()); }

QString VersionCaption() {
    return ShortVersionText() + (sizeof(void*) == 8 ? QStringLiteral(" [64 bit]") : QStringLiteral(" [32 bit]"));
}
