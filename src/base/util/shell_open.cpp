#include "util/shell_open.h"

#include "os/shell.h"

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

bool OpenWithShell(const QString& path) {
    if (path.trimmed().isEmpty())
        return false;
    const std::vector<std::string> command = os::ShellOpenCommand(path.toStdString());
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i)
        arguments << QString::fromStdString(command[i]);
    return QProcess::startDetached(QString::fromStdString(command.front()), arguments);
}

bool StartProgram(const QString& program, const QString& arguments, const QString& workingFolder) {
    if (program.trimmed().isEmpty())
        return false;
    const QString folder = workingFolder.isEmpty() ? QFileInfo(program).absolutePath() : workingFolder;
    return QProcess::startDetached(program, QProcess::splitCommand(arguments), folder);
}
