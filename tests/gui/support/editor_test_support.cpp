#include "editor_test_support.h"

#include "app/settings_loader.h"
#include "lang/language_choice.h"
#include "settings/save_settings.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QProcess>

#include <gtest/gtest.h>

EditorFixture::EditorFixture() {
    // The settings writer creates a missing data folder in one pass and writes
    // in the next; the program's folder exists from its first start on.
    QDir().mkpath(box.file(QStringLiteral("data")));
    notifications = std::make_unique<TLumoNotificationSettings>();
    Reload();
}

EditorFixture::~EditorFixture() {
    HideAllNotifies();
    context.reset();
    notifications.reset();
}

void EditorFixture::Reload() {
    context.reset();
    TAppPaths paths;
    paths.DataFolder = box.file(QStringLiteral("data/"));
    paths.ProgramFolder = box.file(QStringLiteral("program/"));
    paths.LangFolder = paths.ProgramFolder + QStringLiteral("Lang/");
    context = std::make_unique<TAppContext>(paths);
    context->SystemLanguage = QStringLiteral("Eng");
    LoadAllSettings(*context);
    ApplyBuiltinLanguage(context->Language, QStringLiteral("Eng"), context->Options.Language,
                         context->Options.LanguageLocal);
}

tfm_Settings QuickCountdownDialogs() {
    tfm_Settings settings;
    settings.pCountdownTickMs = 20;
    return settings;
}

void EditorFixture::Save() { context->Saver().RunSaveAndWait(); }

QString EditorFixture::LastNotification() const {
    const auto& list = notifications->NotificationList;
    return list.isEmpty() ? QString() : list.back()->Text;
}

int EditorFixture::NotificationCount() const { return static_cast<int>(notifications->NotificationList.size()); }

QByteArray CliExport(const QString& dataFolder, const QString& uid) {
    QProcess cli;
    cli.start(QStringLiteral(NORVANE_CLI_PATH), {QStringLiteral("--data-dir"), dataFolder, QStringLiteral("export"), uid});
    EXPECT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    return cli.readAllStandardOutput();
}

void WhenModalOpens(std::function<void(QWidget*)> act, QWidget* except) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act = std::move(act), except] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != except && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
            return;
        }
        if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal dialog opened";
        }
    });
    timer->start(10);
}

namespace {

// Clicks the button once it is enabled (a question may hold its Yes back for a
// few seconds); gives up after ten seconds.
void ClickWhenEnabled(QPointer<QWidget> modal, QString text, int tries) {
    if (!modal)
        return;
    for (QAbstractButton* button : modal->findChildren<QAbstractButton*>()) {
        // A question holding its Yes back reads "Yes (5)" until it unlocks.
        const QString caption = button->text().remove(QLatin1Char('&'));
        if (caption != text && !caption.startsWith(text + QLatin1String(" (")))
            continue;
        if (button->isEnabled()) {
            QTest::mouseClick(button, Qt::LeftButton);
            return;
        }
        if (tries > 1000) {
            ADD_FAILURE() << "button " << text.toStdString() << " stayed disabled";
            modal->close();
            return;
        }
        QTimer::singleShot(10, [modal, text, tries] { ClickWhenEnabled(modal, text, tries + 1); });
        return;
    }
    ADD_FAILURE() << "no button " << text.toStdString();
    modal->close();
}

} // namespace

void PressInNextModal(const QString& text, QWidget* except) {
    WhenModalOpens([text](QWidget* modal) { ClickWhenEnabled(modal, text, 0); }, except);
}

void TypeInto(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    if (text.isEmpty())
        QTest::keyClick(field, Qt::Key_Delete);
    else
        QTest::keyClicks(field, text);
}

void ClickButton(QAbstractButton* button) {
    ASSERT_NE(button, nullptr);
    if (button->isCheckable() && !qobject_cast<QPushButton*>(button))
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, button->height() / 2));
    else
        QTest::mouseClick(button, Qt::LeftButton);
}
