#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>

// A temporary folder for one test. HOME and the XDG folders point into it for
// the test's lifetime, so no test ever touches the real home folder.
class TestSandbox {
public:
    TestSandbox();
    ~TestSandbox();
    TestSandbox(const TestSandbox&) = delete;
    TestSandbox& operator=(const TestSandbox&) = delete;

    // Absolute path of the sandbox folder, without a trailing separator.
    QString path() const;
    // path() + "/" + relative
    QString file(const QString& relative) const;

    // Writes bytes to a file below the sandbox, creating folders as needed.
    void writeFile(const QString& relative, const QByteArray& bytes) const;
    QByteArray readFile(const QString& relative) const;

private:
    QTemporaryDir fDir;
    QByteArray fOldHome, fOldConfig, fOldData;
};
