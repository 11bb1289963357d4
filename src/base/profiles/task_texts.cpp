#include "profiles/task_texts.h"

#include "lang/friendly_date.h"
#include "lang/language.h"

QString FillPlaceholder(const QString& format, QLatin1StringView placeholder, const QString& value) {
    QString text = format;
    const qsizetype at = text.indexOf(placeholder);
    return at < 0 ? text : text.replace(at, placeholder.size(), value);
}

QString LastRunText(Lng formatKey, TDateTime lastActive, TDateTime now) {
    if (lastActive == 0)
        return {};
    return FillPlaceholder(LngText(formatKey), QLatin1StringView("%s"), FriendlyDateText(lastActive, false, now));
}

QString NormalizedTitle(const QString& title, int maxLength) {
    if (title.isEmpty())
        return QStringLiteral("-");
    if (title.size() <= maxLength)
        return title;
    qsizetype length = maxLength;
    if (length > 0 && title.at(length - 1).isHighSurrogate())
        --length;
    return title.left(length);
}
