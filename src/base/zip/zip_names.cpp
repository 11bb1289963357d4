#include "zip/zip_names.h"

#include "util/path_delim.h"
#include "zip/zip_files.h"

#include <QFileInfo>

namespace {

constexpr int kMaxFileNameLength = 245;

// Characters that Windows refuses in a name, with the separator of that
// platform in the place of ours: "/" names subfolders here.
const QString kRemovedCharacters = QStringLiteral("*|:\"<>?\\");

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

QString IndexedName(const QString& realFolder, const QString& base, int index, const QString& ext) {
    return realFolder + base + QLatin1Char('[') + QString::number(index) + QLatin1Char(']') + ext;
}

} // namespace

QString ExpandNameTemplate(const QString& Template, const QString& QValue, TDateTime now) {
    QString text;
    text.reserve(Template.size());
    for (const QChar c : Template)
        if (!kRemovedCharacters.contains(c))
            text += c;

    const TDateTimeParts parts = DecodeDateTime(now);
    text.replace(QLatin1String("%Y"), QString::number(parts.year));
    text.replace(QLatin1String("%M"), TwoDigits(parts.month));
    text.replace(QLatin1String("%D"), TwoDigits(parts.day));
    text.replace(QLatin1String("%H"), TwoDigits(parts.hour));
    text.replace(QLatin1String("%N"), TwoDigits(parts.minute));
    text.replace(QLatin1String("%S"), TwoDigits(parts.second));
    text.replace(QLatin1String("%Q"), QValue);

    const QString doubled = QString(2, kPathDelim);
    while (text.contains(doubled))
        text.replace(doubled, QString(kPathDelim));

    const qsizetype lastDelim = text.lastIndexOf(kPathDelim);
    if (lastDelim >= 0 && text.size() - lastDelim - 1 > kMaxFileNameLength) {
        qsizetype end = lastDelim + 1 + kMaxFileNameLength;
        if (text.at(end - 1).isHighSurrogate())
            --end; // never half a character
        text.truncate(end);
    }
    return text.trimmed();
}

QString SplitVolumeSuffix(int k) { return QStringLiteral(".z") + (k < 10 ? TwoDigits(k) : QString::number(k)); }

void DeleteSplitVolumes(const QString& BaseName, const QString& Folder) {
    for (int k = 1;; ++k) {
        const QString name = Folder + BaseName + SplitVolumeSuffix(k);
        if (!PathTaken(name))
            return;
        RemoveFileQuietly(name);
    }
}

bool RenameSplitVolumes(const QString& OldBase, const QString& NewBase, const QString& Folder) {
    bool allRenamed = true;
    for (int k = 1;; ++k) {
        const QString suffix = SplitVolumeSuffix(k);
        const QString from = Folder + OldBase + suffix;
        if (!PathTaken(from))
            return allRenamed;
        if (!ReplaceFile(from, Folder + NewBase + suffix))
            allRenamed = false;
    }
}

QString ArchiveBaseName(const QString& path) {
    const QString name = path.mid(path.lastIndexOf(kPathDelim) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

TArchiveTarget ChooseArchiveTarget(const QString& realFolder, const QString& expandedName, TZipVersion fvType,
                                   int fvLastIndex, const std::function<bool(const QString&)>& exists) {
    if (fvType == TZipVersion::zvNone)
        return {realFolder + expandedName, 0};

    // The extension starts at the last "." of the file name proper.
    const qsizetype lastDelim = expandedName.lastIndexOf(kPathDelim);
    const qsizetype dot = expandedName.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot > lastDelim ? expandedName.mid(dot) : QString();
    const QString base = expandedName.left(expandedName.size() - ext.size());

    const QString latest =
        fvLastIndex != 0 ? IndexedName(realFolder, base, fvLastIndex, ext) : realFolder + expandedName;
    TArchiveTarget target;
    if (exists(latest)) {
        target = {IndexedName(realFolder, base, fvLastIndex + 1, ext), fvLastIndex + 1};
    } else {
        target = {realFolder + expandedName, 0};
    }
    // The plain name may still hold an older version after the latest indexed
    // one was removed: going on past taken names keeps every version intact.
    while (exists(target.Path)) {
        ++target.FVLastIndex;
        target.Path = IndexedName(realFolder, base, target.FVLastIndex, ext);
    }
    return target;
}
