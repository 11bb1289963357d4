#pragma once

#include "app/instance_record.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

// The local socket of the running instance: one per user and data folder.
// Its full path (in the temporary folder) is derived from the user's id and
// the data folder's absolute path.
QString InstanceChannelName(const QString& dataFolder);

// One request that arrived, with the way back to its sender. Answer may be
// called once, at any later time on the main thread; a sender that has gone
// meanwhile gets nothing, and nothing else happens.
class TInstanceRequest {
public:
    TInstanceRecord Record;
    void Answer(std::uint32_t result, const QByteArray& text = {});
    bool Answered() const { return fAnswered; }
    // Called when the sender asks to stop (kInstanceCliStop on the same
    // connection) or goes away before its answer.
    std::function<void()> OnStop;

private:
    friend class TInstanceServer;
    QPointer<QLocalSocket> fSocket;
    bool fAnswered = false;
};

// Listens on the channel and hands every well-formed request to the handler.
// A connection that sends anything else, or no whole record within 30
// seconds, is dropped without effect. Main thread.
class TInstanceServer : public QObject {
    Q_OBJECT
public:
    using THandler = std::function<void(const std::shared_ptr<TInstanceRequest>& request)>;

    explicit TInstanceServer(THandler handler, QObject* parent = nullptr);
    ~TInstanceServer() override;

    // The caller holds the data folder's lock, so a socket left at the name
    // belongs to an instance that was killed: it is removed first.
    bool Listen(const QString& name, QString& error);
    void Close();
    bool IsListening() const;
    // Some answer is still on its way out: closing now could cut it off.
    bool AnswersInFlight() const;

    static constexpr int kIncompleteRecordMs = 30000;

private:
    void Accept();

    THandler fHandler;
    std::unique_ptr<QLocalServer> fServer;
};

// The sending side, blocking: connects (trying again until connectWaitMs
// has passed, for an instance that is still starting), sends the record and
// waits for the answer. stopRequested is polled while waiting; once it holds
// a kInstanceCliStop record is sent and the wait goes on. Empty when no
// instance could be reached or it went away before answering.
std::optional<TInstanceRecord> SendToInstance(const QString& name, const TInstanceRecord& record, int connectWaitMs,
                                              const std::function<bool()>& stopRequested = {});
