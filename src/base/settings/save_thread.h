#pragma once

#include <QString>
#include <QThread>

class TSaveSettings;

// One writer pass, owned by the store from start to finish.
class TSaveThread : public QThread {
    Q_OBJECT
public:
    TSaveThread(TSaveSettings& store, QString dataFolder, QString settingsFile);
    // The pass replaced the settings file.
    bool Written() const { return fWritten; }

protected:
    void run() override;

private:
    bool WritePass();
    void RemoveStaleTemporaryFiles() const;

    TSaveSettings& fStore;
    const QString fDataFolder;
    const QString fSettingsFile;
    bool fWritten = false;
};
