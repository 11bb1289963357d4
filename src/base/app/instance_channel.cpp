#include "app/instance_channel.h"

#include "os/platform.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>

QString InstanceChannelName(const QString& dataFolder) {
    const QString folder = QDir::cleanPath(QFileInfo(dataFolder).absoluteFilePath());
    const std::string user = os::CurrentUserKey();
    const QByteArray key = QByteArray::fromStdString(user) + '\n' + folder.toUtf8();
    const QByteArray digest = QCryptographicHash::hash(key, QCryptographicHash::Sha256).toHex().left(24);
    // A full path, so the server and its clients agree on it whatever the
    // local socket defaults are; the user's key keeps users apart.
    return QDir::tempPath() + QStringLiteral("/norvane-backup-") + QString::fromStdString(user) + QLatin1Char('-') +
           QString::fromLatin1(digest);
}

void TInstanceRequest::Answer(std::uint32_t result, const QByteArray& text) {
    if (fAnswered)
        return;
    fAnswered = true;
    OnStop = nullptr;
    if (!fSocket)
        return;
    fSocket->setProperty("answered", true);
    fSocket->write(EncodeInstanceRecord(TInstanceRecord{result, text}));
    fSocket->disconnectFromServer(); // after the answer has been written
}

TInstanceServer::TInstanceServer(THandler handler, QObject* parent) : QObject(parent), fHandler(std::move(handler)) {}

TInstanceServer::~TInstanceServer() { Close(); }

bool TInstanceServer::Listen(const QString& name, QString& error) {
    Close();
    fServer = std::make_unique<QLocalServer>();
    fServer->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(name);
    if (!fServer->listen(name)) {
        error = name + QStringLiteral(": ") + fServer->errorString();
        fServer.reset();
        return false;
    }
    connect(fServer.get(), &QLocalServer::newConnection, this, &TInstanceServer::Accept);
    return true;
}

void TInstanceServer::Close() {
    if (!fServer)
        return;
    fServer->close();
    fServer.reset();
}

bool TInstanceServer::IsListening() const { return fServer && fServer->isListening(); }

bool TInstanceServer::AnswersInFlight() const {
    if (!fServer)
        return false;
    const auto sockets = fServer->findChildren<QLocalSocket*>();
    return std::any_of(sockets.begin(), sockets.end(), [](const QLocalSocket* socket) {
        return socket->property("answered").toBool() && socket->state() != QLocalSocket::UnconnectedState;
    });
}

namespace {

// The state of one connection: the bytes read so far and its request, once whole.
struct TConnection {
    TInstanceRecordReader reader;
    std::shared_ptr<TInstanceRequest> request;
};

} // namespace

void TInstanceServer::Accept() {
    while (QLocalSocket* socket = fServer->nextPendingConnection()) {
        auto state = std::make_shared<TConnection>();
        auto* deadline = new QTimer(socket);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, socket, [socket] { socket->abort(); });
        deadline->start(kIncompleteRecordMs);
        connect(socket, &QLocalSocket::disconnected, socket, [socket, state] {
            // A sender that leaves before its answer takes its runs with it.
            if (state->request && !state->request->Answered() && state->request->OnStop)
                state->request->OnStop();
            socket->deleteLater();
        });
        connect(socket, &QLocalSocket::readyRead, socket, [this, socket, state, deadline] {
            state->reader.Feed(socket->readAll());
            TInstanceRecord record;
            for (;;) {
                const auto status = state->reader.Next(record);
                if (status == TInstanceRecordReader::Status::NeedMore)
                    return;
                if (status == TInstanceRecordReader::Status::Malformed) {
                    socket->abort();
                    return;
                }
                if (!state->request) {
                    deadline->stop();
                    state->request = std::make_shared<TInstanceRequest>();
                    state->request->Record = record;
                    state->request->fSocket = socket;
                    fHandler(state->request);
                } else if (record.Kind == kInstanceCliStop) {
                    if (!state->request->Answered() && state->request->OnStop)
                        state->request->OnStop();
                } else {
                    socket->abort(); // one request per connection
                    return;
                }
            }
        });
    }
}

std::optional<TInstanceRecord> SendToInstance(const QString& name, const TInstanceRecord& record, int connectWaitMs,
                                              const std::function<bool()>& stopRequested) {
    QLocalSocket socket;
    const QDeadlineTimer connectDeadline(connectWaitMs);
    for (;;) {
        socket.connectToServer(name);
        if (socket.waitForConnected(std::max<qint64>(100, connectDeadline.remainingTime())))
            break;
        if (connectDeadline.hasExpired())
            return std::nullopt;
        socket.abort();
        QThread::msleep(100);
    }
    socket.write(EncodeInstanceRecord(record));
    if (!socket.waitForBytesWritten(10000))
        return std::nullopt;
    TInstanceRecordReader reader;
    bool stopSent = false;
    for (;;) {
        if (!stopSent && stopRequested && stopRequested()) {
            stopSent = true;
            socket.write(EncodeInstanceRecord(TInstanceRecord{kInstanceCliStop, {}}));
            socket.waitForBytesWritten(1000);
        }
        if (socket.bytesAvailable() > 0 || socket.waitForReadyRead(100))
            reader.Feed(socket.readAll());
        TInstanceRecord answer;
        switch (reader.Next(answer)) {
        case TInstanceRecordReader::Status::Complete: return answer;
        case TInstanceRecordReader::Status::Malformed: return std::nullopt;
        case TInstanceRecordReader::Status::NeedMore: break;
        }
        if (socket.state() != QLocalSocket::ConnectedState && socket.bytesAvailable() == 0)
            return std::nullopt;
    }
}
