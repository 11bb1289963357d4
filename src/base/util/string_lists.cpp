#include "util/string_lists.h"

#include "util/file_mask.h"
#include "util/path_delim.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

void RemoveDuplicateLines(QStringList& list) {
    QStringList kept;
    kept.reserve(list.size());
    QSet<QString> seen; // case-folded forms of the kept lines
    for (const QString& line : std::as_const(list)) {
        if (line.trimmed().isEmpty())
            continue;
        const QString key = line.toCaseFolded();
        if (seen.contains(key))
            continue;
        seen.insert(key);
        kept.append(line);
    }
    list = kept;
}

void RemoveListedLines(QStringList& list, const QStringList& other) {
    QSet<QString> unwanted;
    for (const QString& line : other)
        unwanted.insert(line.trimmed().toUpper());
    list.removeIf([&unwanted](const QString& line) { return unwanted.contains(line.trimmed().toUpper()); });
}

QStringList UpperCased(const QStringList& names) {
    QStringList upper;
    upper.reserve(names.size());
    for (const QString& name : names)
        upper << name.toUpper();
    return upper;
}

QString IncludeBackslash(const QString& path) {
    if (path.isEmpty() || path.endsWith(kPathDelim))
        return path;
    return path + kPathDelim;
}

void ListFilesByMask(QStringList& list, const QString& mask) {
    list.clear();
    const qsizetype cut = mask.lastIndexOf(kPathDelim) + 1;
    const QString folder = mask.left(cut);
    const TFileMask fileMask(mask.mid(cut));
    const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(QLatin1Char('.')) || entry.isDir())
            continue;
        // Devices, pipes and sockets count as system entries; a dangling link still counts as a file.
        if (!entry.isFile() && !entry.isSymLink())
            continue;
        if (fileMask.Matches(name))
            list.append(folder + name);
    }
}
