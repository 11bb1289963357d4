#include "profiles/engine_events.h"

#include "util/text_format.h"

TEngineEvents::TEngineEvents(QObject* parent) : QObject(parent) {
    // Subscribers on other threads get the values through queued connections.
    qRegisterMetaType<TGL_Profile>();
    qRegisterMetaType<TResultRow>();
    qRegisterMetaType<QList<TResultRow>>();
    qRegisterMetaType<QList<quint32>>();
    qRegisterMetaType<TNotifyKind>();
    qRegisterMetaType<TFolderZipRow>();
    qRegisterMetaType<QList<TFolderZipRow>>();
}

QString ResultSizeText(const TResultRow& row) { return row.IsFolder ? QString() : SizeToText(row.Size); }
