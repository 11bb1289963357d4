#include "os/autorun.h"
#include "os/platform.h"
#include "util/autorun.h"

#include "test_env.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

TEST(Autorun, CommandsQuoteThePathAsTheEntryFormatNeeds) {
    const struct {
        const char* program;
        const char* arguments;
        bool quoted;
        const char* command;
    } cases[] = {
        {"/opt/app/bin", "/AUTORUN", true, "\"/opt/app/bin\" /AUTORUN"},
        {"/opt/my app/bin", "", true, "\"/opt/my app/bin\""},
        {"/opt/a\"b$c`d\\e", "/AUTORUN", true, "\"/opt/a\\\"b\\$c\\`d\\\\e\" /AUTORUN"},
        {"/opt/app/bin", "/AUTORUN", false, "/opt/app/bin /AUTORUN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(os::AutorunCommand(c.program, c.arguments, c.quoted), c.command) << c.program;
}

TEST(Autorun, WritesADesktopEntryThatStartsThisProgram) {
    TestSandbox sandbox;
    const QString program = QString::fromStdString(os::ExecutablePath());
    ASSERT_FALSE(program.contains(QRegularExpression("[\"`$\\\\% ]"))) << "the test expects a plain path";
    EXPECT_FALSE(IsAutorunSet(kAutorunName, kAutorunArgument));

    ASSERT_TRUE(SetAutorun(kAutorunName, kAutorunArgument, false));
    const QByteArray entry = sandbox.readFile("home/.config/autostart/norvane-backup.desktop");
    EXPECT_TRUE(entry.startsWith("[Desktop Entry]\n"));
    EXPECT_TRUE(entry.contains("\nType=Application\n"));
    EXPECT_TRUE(entry.contains("\nName=Norvane Backup\n"));
    EXPECT_TRUE(entry.contains("\nExec=\"" + program.toUtf8() + "\" /AUTORUN\n")) << entry.constData();

    EXPECT_TRUE(IsAutorunSet(kAutorunName, "/Autorun"));
    EXPECT_FALSE(IsAutorunSet(kAutorunName, "/OTHER"));
    EXPECT_FALSE(IsAutorunSet(kAutorunName, ""));
    EXPECT_FALSE(IsAutorunSet("", kAutorunArgument));

    ASSERT_TRUE(SetAutorun(kAutorunName, "/Autorun", true));
    EXPECT_FALSE(QFile::exists(sandbox.file("home/.config/autostart/norvane-backup.desktop")));
    EXPECT_FALSE(IsAutorunSet(kAutorunName, kAutorunArgument));
    EXPECT_TRUE(SetAutorun(kAutorunName, kAutorunArgument, true)); // removing twice is fine
}

TEST(Autorun, RecognisesTheUnquotedFormAnyCaseAndASwitchedOffEntry) {
    TestSandbox sandbox;
    const QByteArray program = QByteArray::fromStdString(os::ExecutablePath());
    const QString file = "home/.config/autostart/norvane-backup.desktop";
    sandbox.writeFile(file, "[Desktop Entry]\nName=Norvane Backup\nExec=" + program.toUpper() + " /autorun\n");
    EXPECT_TRUE(IsAutorunSet(kAutorunName, kAutorunArgument));
    sandbox.writeFile(file, "[Desktop Entry]\nExec=\"" + program + "\" /AUTORUN\nHidden=true\n");
    EXPECT_FALSE(IsAutorunSet(kAutorunName, kAutorunArgument));
    sandbox.writeFile(file, "[Other Group]\nExec=\"" + program + "\" /AUTORUN\n");
    EXPECT_FALSE(IsAutorunSet(kAutorunName, kAutorunArgument));
}

TEST(Autorun, StoredCommandsSurviveTheEntryEscapes) {
    TestSandbox sandbox;
    const std::string command = os::AutorunCommand("/opt/100% \\odd\\", "/AUTORUN", true);
    ASSERT_TRUE(os::WriteAutorunCommand("Odd Name", command));
    const QByteArray entry = sandbox.readFile("home/.config/autostart/odd-name.desktop");
    EXPECT_TRUE(entry.contains("\nExec=\"/opt/100%% \\\\\\\\odd\\\\\\\\\" /AUTORUN\n")) << entry.constData();
    EXPECT_EQ(os::ReadAutorunCommand("Odd Name"), command);
}

} // namespace
