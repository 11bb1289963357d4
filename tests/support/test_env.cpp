#include "test_env.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace {
void setOrUnset(const char* name, const QByteArray& value) {
    if (value.isNull())
        qunsetenv(name);
    else
        qputenv(name, value);
}
} // namespace

TestSandbox::TestSandbox()
    : fOldHome(qgetenv("HOME")),
      fOldConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME") ? qgetenv("XDG_CONFIG_HOME") : QByteArray()),
      fOldData(qEnvironmentVariableIsSet("XDG_DATA_HOME") ? qgetenv("XDG_DATA_HOME") : QByteArray()) {
    if (!fDir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
    QDir(fDir.path()).mkpath("home/.config");
    QDir(fDir.path()).mkpath("home/.local/share");
    qputenv("HOME", QFile::encodeName(fDir.path() + "/home"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(fDir.path() + "/home/.config"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(fDir.path() + "/home/.local/share"));
}

TestSandbox::~TestSandbox() {
    setOrUnset("HOME", fOldHome);
    setOrUnset("XDG_CONFIG_HOME", fOldConfig);
    setOrUnset("XDG_DATA_HOME", fOldData);
}

QString TestSandbox::path() const { return fDir.path(); }

QString TestSandbox::file(const QString& relative) const { return fDir.path() + "/" + relative; }

void TestSandbox::writeFile(const QString& relative, const QByteArray& bytes) const {
    const QString full = file(relative);
    QDir().mkpath(QFileInfo(full).absolutePath());
    QFile f(full);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file");
}

QByteArray TestSandbox::readFile(const QString& relative) const {
    QFile f(file(relative));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
