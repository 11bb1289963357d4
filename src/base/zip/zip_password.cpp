#include "zip/zip_password.h"

#include "util/scramble.h"

QString TakeOverPassword(const QString& current, const QString& nPassword, bool nPasswordModified) {
    if (nPasswordModified)
        return nPassword.isEmpty() ? QString() : ScrambleText(nPassword);
    return nPassword.isEmpty() ? current : nPassword;
}
