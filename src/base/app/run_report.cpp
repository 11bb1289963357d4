#include "app/run_report.h"

#include "folderzip/folderzip_task.h"
#include "profiles/backup_profile.h"
#include "profiles/profile_texts.h"
#include "sync/sync_task.h"
#include "util/native_path.h"

namespace {

// One entry per line whatever its name holds: control characters, the
// backslash and the bytes of a name that are not UTF-8 are written escaped.
QString EscapedPath(const QString& path) {
    QString out;
    out.reserve(path.size());
    for (const QChar c : path) {
        const char16_t u = c.unicode();
        if (u == '\\')
            out += QLatin1String("\\\\");
        else if (u == '\t')
            out += QLatin1String("\\t");
        else if (u == '\n')
            out += QLatin1String("\\n");
        else if (u == '\r')
            out += QLatin1String("\\r");
        else if (u < 0x20 || u == 0x7F)
            out += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        else if (IsEscapedByte(c))
            out += QStringLiteral("\\x%1").arg(static_cast<int>(u - 0xDC00), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace

QString RunReport(const std::vector<TLumo_BackupProfile*>& profiles, bool entries, bool& anyError) {
    QString out;
    anyError = false;
    for (TLumo_BackupProfile* profile : profiles) {
        profile->SetFullValues();
        const TGL_Profile& values = profile->Values();
        out += values.txtTitle + QLatin1Char('\n') + values.txtStatus + QLatin1Char('\n') + values.txtLastSync +
               QLatin1Char('\n');
        if (entries && profile->Sync())
            for (const auto& element : profile->Sync()->ResultElements())
                out += FileStatusText(element->Status) + QLatin1Char('\t') + EscapedPath(element->SepPath) +
                       QLatin1Char('\n');
        if (entries && profile->FolderZip())
            for (const auto& element : profile->FolderZip()->Elements())
                out += FileStatusText(element->pZipState) + QLatin1Char('\t') + EscapedPath(element->pFolder) +
                       QLatin1Char('\n');
        anyError = anyError || profile->Task().LastError() != TLumo_Error::feNone;
    }
    return out;
}
