#include "cli/cli_commands.h"

#include "app/app_context.h"
#include "app/save_steps.h"

#include <QIODevice>

namespace {

QString KindName(TBackupClass kind) {
    switch (kind) {
    case TBackupClass::bcSync: return QStringLiteral("sync");
    case TBackupClass::bcZip: return QStringLiteral("zip");
    case TBackupClass::bcFolderZip: return QStringLiteral("folderzip");
    case TBackupClass::bcNone: break;
    }
    return QStringLiteral("none");
}

} // namespace

int CommandList(const TAppContext& context, QTextStream& out) {
    for (const QString& uid : context.DisplayOrderUIDs()) {
        const TLumo_BackupProfile* profile = context.FindProfileByUID(uid);
        if (profile)
            out << uid << '\t' << KindName(profile->Kind()) << '\t' << profile->Title() << '\n';
    }
    return kExitOk;
}

int CommandExport(const TAppContext& context, const QString& uid, QTextStream& out, QTextStream& err) {
    if (!context.FindProfileByUID(uid)) {
        err << "unknown profile UID: " << uid << '\n';
        return kExitUsage;
    }
    IniDocument ini;
    ApplySaveRequest(ini, TSaveTask{TSaveSetType::stFullProfile, uid}, context);
    QByteArray bytes = ini.ToBytes();
    bytes.remove(0, 3); // the byte-order mark belongs to the file, not to the listing
    out.flush();
    out.device()->write(bytes);
    return kExitOk;
}
