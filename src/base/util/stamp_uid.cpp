#include "util/stamp_uid.h"

#include <QRandomGenerator>
#include <QStringList>

QString MakeStampUID(const QString& prefix, const std::function<bool(const QString&)>& isUnique,
                     const std::function<TDateTime()>& clock, const std::function<int()>& randomDigit) {
    QString uid;
    do {
        uid = prefix + DateTimeToStamp(clock());
        for (int i = 0; i < 4; ++i)
            uid += QChar(u'0' + randomDigit());
    } while (!isUnique(uid));
    return uid;
}

QString MakeStampUID(const QString& prefix, const std::function<bool(const QString&)>& isUnique) {
    return MakeStampUID(prefix, isUnique, [] { return Now(); },
                        [] { return static_cast<int>(QRandomGenerator::global()->bounded(10)); });
}

bool IsFixedSectionName(const QString& name) {
    static const QStringList fixedSections{QStringLiteral("Main"), QStringLiteral("SyncList"),
                                           QStringLiteral("ZipList"), QStringLiteral("ZipFolderList"),
                                           QStringLiteral("CronList")};
    return fixedSections.contains(name, Qt::CaseInsensitive);
}
