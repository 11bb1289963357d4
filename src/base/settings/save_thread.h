#pragma once

#include <QString>
#include <QThread>

class TSaveSettings;
class TAppContext;

// One writer pass, owned by the store from start to finish.
class TSaveThread : public QThread {
    Q_OBJECT
public:
    TSaveThread(TSaveSettings& store, const TAppContext& context);
    // The pass replaced the settings file.
    bool Written() const { return fWritten; }

protected:
    void run() override;

private:
    bool WritePass();
    void RemoveStaleTemporaryFiles() const;

    TSaveSettings& fStore;
    const TAppContext& fContext;
    const QString fDataFolder;
    const QString fSettingsFile;
    bool fWritten = false;
};
