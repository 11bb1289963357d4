#include "app/app_context.h"
#include "app/app_paths.h"
#include "app/settings_loader.h"
#include "settings/save_settings.h"

#include <QApplication>
#include <QListWidget>

// Until the main window exists, the program shows the loaded profiles in
// display order and saves pending changes when it closes.
int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvane Backup"));

    bool portable = false;
    TAppContext context(DefaultAppPaths(&portable));
    context.Options.PortableMode = portable;
    LoadAllSettings(context);

    QListWidget list;
    list.setWindowTitle(QStringLiteral("Norvane Backup"));
    for (const QString& uid : context.DisplayOrderUIDs())
        if (const TLumo_BackupProfile* profile = context.FindProfileByUID(uid))
            list.addItem(profile->Title());
    list.resize(480, 360);
    list.show();

    const int status = QApplication::exec();
    context.Saver().RunSaveAndWait();
    context.AppClosing = true;
    return status;
}
