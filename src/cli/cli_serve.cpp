#include "cli/cli_serve.h"

#include "app/app_context.h"
#include "app/instance_channel.h"
#include "app/resident_engine.h"
#include "cli/cli_commands.h"
#include "cli/cli_runs.h"

#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

int CommandServe(TAppContext& context, const std::atomic<bool>& stopRequested, QTextStream& err) {
    QEventLoop loop;
    TResidentHooks hooks;
    hooks.Quit = [&loop] { loop.quit(); };
    TResidentEngine engine(context, hooks);
    QString error;
    if (!engine.ListenChannel(error)) {
        err << "norvane-backup-cli: the instance channel cannot be opened: " << error << '\n';
        return kExitFolderHeld;
    }
    engine.StartAfterLoading();
    engine.FinishStart();

    bool signalled = false;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (stopRequested.load()) {
            signalled = true;
            loop.quit();
        }
    });
    poll.start();
    if (!stopRequested.load())
        loop.exec();
    else
        signalled = true;
    poll.stop();
    engine.Shutdown();
    return signalled ? kExitInterrupted : kExitOk;
}

int ForwardRuns(const QString& dataFolder, const QStringList& uids, bool onlyScan, bool entries,
                const std::atomic<bool>& stopRequested, QTextStream& out, QTextStream& err) {
    QJsonObject ask;
    ask.insert(QStringLiteral("onlyScan"), onlyScan);
    ask.insert(QStringLiteral("entries"), entries);
    ask.insert(QStringLiteral("uids"), QJsonArray::fromStringList(uids));
    const TInstanceRecord request{kInstanceCliRuns, QJsonDocument(ask).toJson(QJsonDocument::Compact)};
    // The holder may still be starting: it gets a few seconds to answer.
    const auto answer = SendToInstance(InstanceChannelName(dataFolder), request, 5000,
                                       [&stopRequested] { return stopRequested.load(); });
    if (!answer) {
        err << "norvane-backup-cli: the data folder " << QDir::toNativeSeparators(dataFolder)
            << " is in use by another running instance that does not take runs; nothing was run\n";
        return kExitFolderHeld;
    }
    const QJsonObject reply = QJsonDocument::fromJson(answer->Text).object();
    out << reply.value(QStringLiteral("out")).toString();
    err << reply.value(QStringLiteral("err")).toString();
    return static_cast<int>(answer->Kind);
}
