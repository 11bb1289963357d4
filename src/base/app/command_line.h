#pragma once

#include <QString>
#include <QStringList>

// The switches a running instance obeys, as one command text holds them.
struct TCommandLine {
    bool AbortAll = false;      // "/ABORTALL"
    bool Close = false;         // "/CLOSE"
    bool CloseAfterAll = false; // "/CLOSEAFTERALL"
    QStringList ProfileUIDs;    // "/SNK…", "/ZIP…", "/FZP…" without the "/", in order
};

// Splits the text into switches: text before a "/" is skipped, a switch runs
// up to the next space and is compared upper-cased; unknown switches are ignored.
TCommandLine ParseCommandLine(const QString& text);

// Where the program starts: "/FORCELOAD", exactly so and as the only
// parameter, skips the single-instance check; "/AUTORUN" anywhere (trimmed,
// any case) starts hidden.
bool IsForceLoad(const QStringList& parameters);
bool IsAutorun(const QStringList& parameters);
