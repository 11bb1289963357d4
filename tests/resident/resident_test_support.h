#pragma once

#include "app/instance_channel.h"
#include "ini/ini_values.h"
#include "test_env.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

// A sandbox with the desktop program's data folder (under the sandbox's
// configuration folder, so the desktop program and the tool's --data-dir
// name the same one), sync profiles and their folders, and the two programs
// started as processes.
class ResidentProcessTest : public ::testing::Test {
protected:
    struct Profile {
        QString uid;
        QString title;
        QStringList before; // the before-script's lines, packed into the settings
    };

    void TearDown() override {
        for (auto& process : fProcesses)
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(10000);
            }
    }

    QString DataFolder() const { return sandbox.file("home/.config/Norvane Backup/"); }
    QString Channel() const { return InstanceChannelName(DataFolder()); }
    QString Src(const QString& uid) const { return sandbox.file("src-" + uid + "/"); }
    QString Dst(const QString& uid) const { return sandbox.file("dst-" + uid + "/"); }

    // Each profile syncs its own folder holding one file into its own storage.
    void WriteSettings(const std::vector<Profile>& profiles, const QByteArray& extra = {}) {
        QByteArray ini = "\xEF\xBB\xBF[Main]\r\nLanguage=Eng\r\nLowPriorityWhenHiden=0\r\nAutoUpdateCheck=0\r\n"
                         "DelayedStart=0\r\n[SyncList]\r\n";
        for (const Profile& p : profiles)
            ini += p.uid.toUtf8() + "=" + p.title.toUtf8() + "\r\n";
        for (const Profile& p : profiles) {
            QDir().mkpath(Src(p.uid));
            QFile file(Src(p.uid) + "file.txt");
            file.open(QIODevice::WriteOnly);
            file.write(p.uid.toUtf8());
            ini += "[" + p.uid.toUtf8() + "_st]\r\nDelToRecycle=0\r\nAutoMode=0\r\n";
            if (!p.before.isEmpty())
                ini += "ProfileScript_Before=" + PackList(p.before).toLatin1() + "\r\n";
            ini += "[" + p.uid.toUtf8() + "]\r\nf1_1=" + Src(p.uid).toUtf8() + "\r\nf2_1=" + Dst(p.uid).toUtf8() +
                   "\r\n";
        }
        ini += extra;
        QDir().mkpath(DataFolder());
        QFile file(DataFolder() + "Backup.ini");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(ini);
    }

    QByteArray Settings() const {
        QFile file(DataFolder() + "Backup.ini");
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }

    bool Synced(const QString& uid) const { return QFile::exists(Dst(uid) + "file.txt"); }

    QProcess& Start(const QString& program, const QStringList& args, const QStringList& env = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        for (const QString& pair : env)
            environment.insert(pair.section('=', 0, 0), pair.section('=', 1));
        process->setProcessEnvironment(environment);
        process->start(program, args);
        process->waitForStarted(30000);
        fProcesses.push_back(std::move(process));
        return *fProcesses.back();
    }
    QProcess& StartServe(const QStringList& env = {}) {
        return Start(NORVANE_CLI_PATH, {"--data-dir", DataFolder(), "serve"}, env);
    }
    QProcess& StartDesktop(const QStringList& args = {}, const QStringList& env = {}) {
        return Start(NORVANE_DESKTOP_PATH, args, env);
    }

    // Runs a program to its end; its exit status, or -1 when it crashed or hung.
    struct Result {
        int status = -1;
        QString out, err;
    };
    Result Run(const QString& program, const QStringList& args, int timeoutMs = 120000) {
        QProcess& process = Start(program, args);
        if (!process.waitForFinished(timeoutMs))
            return {};
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }
    Result Cli(const QStringList& args) { return Run(NORVANE_CLI_PATH, QStringList{"--data-dir", DataFolder()} + args); }
    Result Desktop(const QStringList& args) { return Run(NORVANE_DESKTOP_PATH, args); }

    // Serves nothing but waits, up to a minute, for the condition.
    static bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 60000) {
        const QDeadlineTimer deadline(timeoutMs);
        while (!condition()) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(20);
        }
        return true;
    }
    // The instance answers on its channel.
    bool ChannelUp() const {
        return WaitFor([this] {
            QLocalSocket socket;
            socket.connectToServer(Channel());
            return socket.waitForConnected(200);
        });
    }

    TestSandbox sandbox;

private:
    std::vector<std::unique_ptr<QProcess>> fProcesses;
};
