#pragma once

// Shared by the sync, zip and folder-zip tests: a context with English texts
// and helpers to write INI text by hand.

#include "app/app_context.h"
#include "ini/ini_document.h"
#include "lang/builtin_tables.h"
#include "settings/save_settings.h"

#include "qt_app.h"
#include "test_env.h"

#include <QByteArray>
#include <QString>

#include <deque>
#include <initializer_list>
#include <memory>

#include <gtest/gtest.h>

// A fresh application context in a sandbox, speaking English.
class KindTest : public ::testing::Test {
protected:
    KindTest() {
        EnsureQtApp();
        ctx = NewContext();
    }

    std::unique_ptr<TAppContext> NewContext() const {
        auto context =
            std::make_unique<TAppContext>(TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"});
        QString name;
        bool local = true;
        SetBuiltinEnglish(context->Language, name, local);
        return context;
    }

    std::deque<TSaveTask> Requests() const { return ctx->Saver().WaitingRequests(); }

    TestSandbox sandbox;
    std::unique_ptr<TAppContext> ctx;
};

// The bytes of an INI file as the program writes it: byte-order mark, each
// line ended by CR LF.
inline QByteArray IniBytes(std::initializer_list<const char*> lines) {
    QByteArray bytes("\xEF\xBB\xBF");
    for (const char* line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

inline IniDocument IniOf(std::initializer_list<const char*> lines) { return IniDocument::FromBytes(IniBytes(lines)); }
