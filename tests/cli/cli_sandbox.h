#pragma once

// Runs the command-line tool against the Backup.ini of a sandbox, as root or
// as the unprivileged user of the permission cases, and looks at what it left.

#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>

// The tool with "--data-dir" the sandbox's data folder and the given command;
// its exit status (-1 when it did not end), its output and errors in output.
inline int RunCliIn(const TestSandbox& sandbox, const QStringList& command, QString* output = nullptr,
                    bool asNobody = false) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList args = QStringList{"--data-dir", sandbox.file("data")} + command;
    if (asNobody)
        process.start("setpriv",
                      QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", NORVANE_CLI_PATH} + args);
    else
        process.start(NORVANE_CLI_PATH, args);
    if (!process.waitForFinished(120000))
        return -1;
    if (output)
        *output = QString::fromUtf8(process.readAll());
    return process.exitCode();
}

// Hands the sandbox to the unprivileged user the permission cases run as.
inline void GiveSandboxToNobody(const TestSandbox& sandbox) {
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    QProcess chown;
    chown.start("chown", {"-R", QString::number(nobody->pw_uid), sandbox.path()});
    ASSERT_TRUE(chown.waitForFinished());
    ASSERT_EQ(chown.exitCode(), 0);
}

inline void SetMode(const QString& path, mode_t mode) {
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0) << path.toStdString();
}

// The files in folder, sorted, hidden ones (a run's leftovers) included.
inline QStringList FileNamesIn(const QString& folder) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}
