#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

#include <optional>

// Sets or clears environment variables for one test and restores the old
// values when it ends.
class EnvGuard {
public:
    EnvGuard() = default;
    EnvGuard(const EnvGuard&) = delete;
    EnvGuard& operator=(const EnvGuard&) = delete;
    ~EnvGuard() {
        for (auto it = fSaved.crbegin(); it != fSaved.crend(); ++it) {
            if (it->second)
                qputenv(it->first.constData(), *it->second);
            else
                qunsetenv(it->first.constData());
        }
    }

    void Set(const char* name, const QByteArray& value) {
        Save(name);
        qputenv(name, value);
    }
    void Unset(const char* name) {
        Save(name);
        qunsetenv(name);
    }

private:
    void Save(const char* name) {
        std::optional<QByteArray> old;
        if (qEnvironmentVariableIsSet(name))
            old = qgetenv(name);
        fSaved.append({QByteArray(name), old});
    }

    QList<QPair<QByteArray, std::optional<QByteArray>>> fSaved;
};
