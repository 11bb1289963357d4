#include "util/autorun.h"

#include "os/autorun.h"
#include "os/platform.h"

bool IsAutorunSet(const QString& name, const QString& arguments) {
    if (name.isEmpty())
        return false;
    const std::optional<std::string> stored = os::ReadAutorunCommand(name.toStdString());
    if (!stored)
        return false;
    const QString command = QString::fromStdString(*stored);
    const std::string program = os::ExecutablePath();
    for (const bool quoted : {true, false}) {
        const QString expected = QString::fromStdString(os::AutorunCommand(program, arguments.toStdString(), quoted));
        if (command.compare(expected, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool SetAutorun(const QString& name, const QString& arguments, bool remove) {
    if (name.isEmpty())
        return false;
    if (remove)
        return os::RemoveAutorun(name.toStdString());
    return os::WriteAutorunCommand(name.toStdString(),
                                   os::AutorunCommand(os::ExecutablePath(), arguments.toStdString(), true));
}
