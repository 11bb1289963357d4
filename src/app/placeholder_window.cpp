#include "placeholder_window.h"

#include "app/app_context.h"

#include <QApplication>

TPlaceholderWindow::TPlaceholderWindow() = default;

TPlaceholderWindow::~TPlaceholderWindow() = default;

void TPlaceholderWindow::Create(TAppContext& context) {
    fContext = &context;
    fList = std::make_unique<QListWidget>();
    fList->setWindowTitle(QStringLiteral("Norvane Backup"));
    for (const QString& uid : context.DisplayOrderUIDs())
        if (const TLumo_BackupProfile* profile = context.FindProfileByUID(uid))
            fList->addItem(profile->Title());
    fList->resize(480, 360);
}

void TPlaceholderWindow::Show() {
    fList->show();
    if (OnHiddenChanged)
        OnHiddenChanged(false);
}

void TPlaceholderWindow::HideToTray() {
    fList->hide();
    if (OnHiddenChanged)
        OnHiddenChanged(true);
}

void TPlaceholderWindow::BringToFront() {
    Show();
    fList->showNormal();
    fList->raise();
    fList->activateWindow();
}

void TPlaceholderWindow::Close() {
    fList->close();
    QApplication::quit();
}

bool TPlaceholderWindow::IsShown() const { return fList && fList->isVisible(); }

bool TPlaceholderWindow::TrayIconClick() {
    if (!IsShown()) {
        BringToFront();
        return true;
    }
    if (fContext && fContext->Options.ShowTrayIcon)
        HideToTray();
    return false;
}
