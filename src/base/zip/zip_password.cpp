#include "zip/zip_password.h"

#include "ini/ini_document.h"
#include "util/scramble.h"

QString TakeOverPassword(const QString& current, const QString& nPassword, bool nPasswordModified) {
    if (nPasswordModified)
        return nPassword.isEmpty() ? QString() : ScrambleText(nPassword);
    return nPassword.isEmpty() ? current : nPassword;
}

namespace {

const QString kPassword = QStringLiteral("Password");
const QString kPasswordHex = QStringLiteral("PasswordHex");

bool FitsOnOneLine(const QString& text) {
    return !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'));
}

} // namespace

QString ReadStoredPassword(const IniDocument& ini, const QString& section) {
    const QByteArray hex = ini.Value(section, kPasswordHex).trimmed().toLatin1();
    if (!hex.isEmpty()) {
        const QByteArray bytes = QByteArray::fromHex(hex);
        if (bytes.toHex() == hex.toLower())
            return QString::fromUtf8(bytes);
    }
    return ini.Value(section, kPassword);
}

void WriteStoredPassword(IniDocument& ini, const QString& section, const QString& stored) {
    if (FitsOnOneLine(stored)) {
        ini.SetValue(section, kPassword, stored);
        ini.DeleteKey(section, kPasswordHex);
    } else {
        ini.SetValue(section, kPassword, QString());
        ini.SetValue(section, kPasswordHex, QString::fromLatin1(stored.toUtf8().toHex().toUpper()));
    }
}
