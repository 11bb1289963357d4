#include "zip/zip_names.h"

#include "util/path_delim.h"
#include "zip/zip_files.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace {

constexpr int kMaxFileNameLength = 245;

// Characters that Windows refuses in a name, with the separator of that
// platform in the place of ours: "/" names subfolders here.
const QString kRemovedCharacters = QStringLiteral("*|:\"<>?\\");

QString TwoDigits(int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

// The longest suffix added to the archive's file name on disk: the writer's
// temporary and aside names ".~" and eight hexadecimal digits.
constexpr int kLongestAddedSuffix = 10;
constexpr int kMaxNameBytes = 255;

int NextIndex(int index) { return index >= kMaxFVLastIndex ? 1 : index + 1; }

// Drops empty, "." and ".." components, so the name never leaves the folder
// it is put in and never starts at the root.
QString WithoutParentReferences(const QString& text) {
    QStringList kept;
    for (const QString& part : text.split(kPathDelim)) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            continue;
        kept << part;
    }
    QString result = kept.join(kPathDelim);
    if (text.endsWith(kPathDelim) && !result.isEmpty())
        result += kPathDelim;
    return result;
}

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

    text = WithoutParentReferences(text);

    const qsizetype lastDelim = text.lastIndexOf(kPathDelim);
    if (lastDelim >= 0 && text.size() - lastDelim - 1 > kMaxFileNameLength) {
        qsizetype end = lastDelim + 1 + kMaxFileNameLength;
        if (text.at(end - 1).isHighSurrogate())
            --end; // never half a character
        text.truncate(end);
    }
    return text.trimmed();
}

int ClampFVLastIndex(int index) { return index < 0 || index > kMaxFVLastIndex ? 0 : index; }

bool ArchiveNameFits(const QString& relativeName) {
    const QStringList parts = relativeName.split(kPathDelim);
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const qsizetype limit = i + 1 == parts.size() ? kMaxNameBytes - kLongestAddedSuffix : kMaxNameBytes;
        if (QFile::encodeName(parts.at(i)).size() > limit)
            return false;
    }
    return true;
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

    fvLastIndex = ClampFVLastIndex(fvLastIndex);
    const QString latest =
        fvLastIndex != 0 ? IndexedName(realFolder, base, fvLastIndex, ext) : realFolder + expandedName;
    TArchiveTarget target;
    if (exists(latest)) {
        const int next = NextIndex(fvLastIndex);
        target = {IndexedName(realFolder, base, next, ext), next};
    } else {
        target = {realFolder + expandedName, 0};
    }
    // The plain name may still hold an older version after the latest indexed
    // one was removed: going on past taken names keeps every version intact.
    // The walk is bounded: when every index is taken there is no target.
    for (int tried = 0; exists(target.Path) && tried < kMaxFVLastIndex; ++tried) {
        target.FVLastIndex = NextIndex(target.FVLastIndex);
        target.Path = IndexedName(realFolder, base, target.FVLastIndex, ext);
    }
    if (exists(target.Path))
        target.Path.clear();
    return target;
}
