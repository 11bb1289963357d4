#include "cli/cli_runs.h"

#include "app/app_context.h"
#include "app/task_queue.h"
#include "cli/cli_commands.h"
#include "folderzip/folderzip_task.h"
#include "profiles/profile_texts.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/native_path.h"
#include "zip/zip_task.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

TLumo_Error LastErrorOf(const TLumo_BackupProfile& profile) {
    switch (profile.Kind()) {
    case TBackupClass::bcSync: return profile.Sync()->LastError();
    case TBackupClass::bcZip: return profile.Zip()->LastError();
    case TBackupClass::bcFolderZip: return profile.FolderZip()->LastError();
    case TBackupClass::bcNone: break;
    }
    return TLumo_Error::feNone;
}

// One line on stderr, redrawn in place: the running profile's overall
// progress and status, as the engine's row values report them.
class TProgressBar {
public:
    TProgressBar(bool enabled, TEngineEvents& events) : fEnabled(enabled) {
        fSinceDraw.start();
        if (fEnabled)
            QObject::connect(&events, &TEngineEvents::profileChanged, &fReceiver,
                             [this](const QString& uid, const TGL_Profile& row) { Take(uid, row); });
    }
    ~TProgressBar() { Clear(); }
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;

    void Draw() {
        if (!fEnabled || !fRunning || fSinceDraw.elapsed() < 100)
            return;
        fSinceDraw.restart();
        const TGL_Profile& values = *fRunning;
        const int percent = values.iFullProgress;
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        const QByteArray title = values.txtTitle.left(30).toUtf8();
        const QByteArray status = values.txtStatus.left(40).toUtf8();
        std::fprintf(stderr, "\r\033[K[%s%s] %3d%% %s  %s", QByteArray(filled, '#').constData(),
                     QByteArray(kWidth - filled, ' ').constData(), percent, title.constData(), status.constData());
        std::fflush(stderr);
        fDrawn = true;
    }

    void Clear() {
        if (fDrawn) {
            std::fputs("\r\033[K", stderr);
            std::fflush(stderr);
            fDrawn = false;
        }
    }

private:
    void Take(const QString& uid, const TGL_Profile& row) {
        if (row.tAction == TTaskStatus::tsRun)
            fRunning = row;
        else if (fRunning && fRunning->sUID == uid)
            fRunning.reset();
    }

    bool fEnabled;
    bool fDrawn = false;
    QElapsedTimer fSinceDraw;
    std::optional<TGL_Profile> fRunning;
    QObject fReceiver;
};

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

void PrintEntries(const TLumo_Sync& sync, QTextStream& out) {
    for (const auto& element : sync.ResultElements())
        out << FileStatusText(element->Status) << '\t' << EscapedPath(element->SepPath) << '\n';
}

void PrintEntries(const TLumo_FolderZip& folderZip, QTextStream& out) {
    for (const auto& element : folderZip.Elements())
        out << FileStatusText(element->pZipState) << '\t' << EscapedPath(element->pFolder) << '\n';
}

} // namespace

int CommandRuns(TAppContext& context, const QStringList& uids, bool onlyScan, bool entries,
                const std::atomic<bool>& stopRequested, QTextStream& out, QTextStream& err) {
    std::vector<TLumo_BackupProfile*> profiles;
    for (const QString& uid : uids) {
        TLumo_BackupProfile* profile = context.FindProfileByUID(uid);
        if (!profile) {
            err << "unknown profile UID: " << uid << '\n';
            return kExitUsage;
        }
        profiles.push_back(profile);
    }

    TTaskQueue& queue = context.TaskQueue();
    for (TLumo_BackupProfile* profile : profiles)
        queue.RunTask(*profile, onlyScan);

    // An event loop rather than a polling wait: the worker's synchronous calls
    // are served the moment they arrive, which a run of many small files needs.
    bool stopped = false;
    {
        TProgressBar bar(::isatty(STDERR_FILENO) == 1, context.Events());
        QEventLoop loop;
        QTimer poll;
        poll.setInterval(5);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (!stopped && stopRequested.load()) {
                stopped = true;
                queue.AbortAll();
            }
            bar.Draw();
            if (queue.IsEmpty())
                loop.quit();
        });
        poll.start();
        if (!queue.IsEmpty())
            loop.exec();
    }
    context.Saver().RunSaveAndWait();

    bool anyError = false;
    for (TLumo_BackupProfile* profile : profiles) {
        profile->SetFullValues();
        const TGL_Profile& values = profile->Values();
        out << values.txtTitle << '\n' << values.txtStatus << '\n' << values.txtLastSync << '\n';
        if (entries && profile->Sync())
            PrintEntries(*profile->Sync(), out);
        if (entries && profile->FolderZip())
            PrintEntries(*profile->FolderZip(), out);
        anyError = anyError || LastErrorOf(*profile) != TLumo_Error::feNone;
    }
    if (stopped)
        return kExitInterrupted;
    return anyError ? kExitRunError : kExitOk;
}
