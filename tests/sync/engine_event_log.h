#pragma once

// Records every engine event of a context, in the order emitted, so that a
// test can check their order and payloads after a run.

#include "app/app_context.h"
#include "profiles/engine_events.h"

#include <QList>
#include <QObject>
#include <QString>

#include <vector>

struct EngineEvent {
    enum class Kind;
    explicit EngineEvent(Kind k, QString u = {}) : kind(k), uid(std::move(u)) {}
    enum class Kind {
        ProfileChanged,
        AboutToBeRemoved,
        RowsCleared,
        UpdateBegun,
        UpdateEnded,
        RowsAdded,
        RowsChanged,
        RowsRemoved,
        QueueState,
        Notify
    } kind;
    QString uid;
    TGL_Profile row;
    QList<TResultRow> rows;
    QList<quint32> ids;
    bool running = false;
    int count = 0;
    // For AboutToBeRemoved: whether the context still found the profile then.
    bool profileStillListed = false;
};

class EngineEventLog {
public:
    explicit EngineEventLog(TAppContext& context) {
        using K = EngineEvent::Kind;
        TEngineEvents* events = &context.Events();
        QObject::connect(events, &TEngineEvents::profileChanged, &fReceiver,
                         [this](const QString& uid, const TGL_Profile& row) {
                             EngineEvent e{K::ProfileChanged, uid};
                             e.row = row;
                             log.push_back(e);
                         });
        QObject::connect(events, &TEngineEvents::profileAboutToBeRemoved, &fReceiver,
                         [this, &context](const QString& uid) {
                             EngineEvent e{K::AboutToBeRemoved, uid};
                             e.profileStillListed = context.FindProfileByUID(uid) != nullptr;
                             log.push_back(e);
                         });
        QObject::connect(events, &TEngineEvents::resultRowsCleared, &fReceiver,
                         [this](const QString& uid) { log.push_back(EngineEvent{K::RowsCleared, uid}); });
        QObject::connect(events, &TEngineEvents::resultUpdateBegun, &fReceiver,
                         [this](const QString& uid) { log.push_back(EngineEvent{K::UpdateBegun, uid}); });
        QObject::connect(events, &TEngineEvents::resultUpdateEnded, &fReceiver,
                         [this](const QString& uid) { log.push_back(EngineEvent{K::UpdateEnded, uid}); });
        QObject::connect(events, &TEngineEvents::resultRowsAdded, &fReceiver,
                         [this](const QString& uid, const QList<TResultRow>& rows) {
                             EngineEvent e{K::RowsAdded, uid};
                             e.rows = rows;
                             log.push_back(e);
                         });
        QObject::connect(events, &TEngineEvents::resultRowsChanged, &fReceiver,
                         [this](const QString& uid, const QList<TResultRow>& rows) {
                             EngineEvent e{K::RowsChanged, uid};
                             e.rows = rows;
                             log.push_back(e);
                         });
        QObject::connect(events, &TEngineEvents::resultRowsRemoved, &fReceiver,
                         [this](const QString& uid, const QList<quint32>& ids) {
                             EngineEvent e{K::RowsRemoved, uid};
                             e.ids = ids;
                             log.push_back(e);
                         });
        QObject::connect(events, &TEngineEvents::queueStateChanged, &fReceiver, [this](bool running, int count) {
            EngineEvent e{K::QueueState};
            e.running = running;
            e.count = count;
            log.push_back(e);
        });
        QObject::connect(events, &TEngineEvents::notify, &fReceiver,
                         [this](const QString&, const QString&, TNotifyKind) {
                             log.push_back(EngineEvent{EngineEvent::Kind::Notify});
                         });
    }

    std::vector<EngineEvent> Of(EngineEvent::Kind kind) const {
        std::vector<EngineEvent> found;
        for (const EngineEvent& e : log)
            if (e.kind == kind)
                found.push_back(e);
        return found;
    }

    // Index of the last event of the kind, or -1.
    int LastIndexOf(EngineEvent::Kind kind) const {
        for (int i = static_cast<int>(log.size()); i-- > 0;)
            if (log[static_cast<std::size_t>(i)].kind == kind)
                return i;
        return -1;
    }

    std::vector<EngineEvent> log;

private:
    // Owns the connections: they end with the log.
    QObject fReceiver;
};
