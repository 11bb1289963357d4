#pragma once

#include "cli_sandbox.h"

#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#include <gtest/gtest.h>

// Two source folders that a run as nobody cannot reach, each with what the
// run's error text must name: a missing folder (its path), and a folder below
// one nobody may not enter (its path and the system's reason). Makes them in
// the sandbox and gives the sandbox to nobody; the closed folder opens again
// at the end.
class UnreachableSources {
public:
    struct Case {
        QString source;
        QString expected;
    };

    explicit UnreachableSources(const TestSandbox& sandbox)
        : fGate(QFile::encodeName(sandbox.file("gate"))),
          fCases{{sandbox.file("absent/"), sandbox.file("absent/")},
                 {sandbox.file("gate/inside/"),
                  sandbox.file("gate/inside/: ") + QString::fromUtf8(std::strerror(EACCES))}} {
        sandbox.writeFile("gate/inside/c.txt", "c");
        GiveSandboxToNobody(sandbox);
        EXPECT_EQ(::chmod(fGate.constData(), 0), 0);
    }
    ~UnreachableSources() { ::chmod(fGate.constData(), 0755); }
    UnreachableSources(const UnreachableSources&) = delete;
    UnreachableSources& operator=(const UnreachableSources&) = delete;

    const std::vector<Case>& Cases() const { return fCases; }

private:
    QByteArray fGate;
    std::vector<Case> fCases;
};
