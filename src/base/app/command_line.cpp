#include "app/command_line.h"

TCommandLine ParseCommandLine(const QString& text) {
    TCommandLine result;
    QString rest = text;
    while (!rest.isEmpty()) {
        if (!rest.startsWith(QLatin1Char('/'))) {
            const qsizetype slash = rest.indexOf(QLatin1Char('/'));
            if (slash < 0)
                break;
            rest.remove(0, slash);
        }
        const qsizetype space = rest.indexOf(QLatin1Char(' '));
        const qsizetype length = space < 0 ? rest.size() : space + 1;
        const QString token = rest.left(length).trimmed().toUpper();
        rest.remove(0, length);
        if (token == QLatin1String("/ABORTALL"))
            result.AbortAll = true;
        else if (token == QLatin1String("/CLOSE"))
            result.Close = true;
        else if (token == QLatin1String("/CLOSEAFTERALL"))
            result.CloseAfterAll = true;
        else if (token.size() > 4 && (token.startsWith(QLatin1String("/SNK")) ||
                                      token.startsWith(QLatin1String("/ZIP")) ||
                                      token.startsWith(QLatin1String("/FZP"))))
            result.ProfileUIDs << token.mid(1);
    }
    return result;
}

bool IsForceLoad(const QStringList& parameters) {
    return parameters.size() == 1 && parameters[0] == QLatin1String("/FORCELOAD");
}

bool IsAutorun(const QStringList& parameters) {
    for (const QString& parameter : parameters)
        if (parameter.trimmed().toUpper() == QLatin1String("/AUTORUN"))
            return true;
    return false;
}
