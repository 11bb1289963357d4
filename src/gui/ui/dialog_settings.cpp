#include "gui/ui/dialog_settings.h"

#include "gui/images/program_images.h"
#include "gui/notify/notifications.h"
#include "gui/util/clipboard.h"
#include "gui/util/pickers.h"
#include "lang/builtin_tables.h"
#include "lang/language.h"

#include <QApplication>
#include <QStorageInfo>
#include <QStyle>

namespace {

// The standard dialogs browse with the program's own pickers, so they show the
// same dialogs and filters as the editor and answer a test's picker answers.
QString ClipboardNow() {
    return ClipboardText(0);
}

QIcon StandardIcon(QStyle::StandardPixmap which) {
    return QApplication::style() ? QApplication::style()->standardIcon(which) : QIcon();
}

bool IsRealDisk(const QStorageInfo& volume) {
#ifdef Q_OS_WIN
    Q_UNUSED(volume);
    return true;
#else
    const QByteArray device = volume.device();
    return device.startsWith("/dev/") && !device.startsWith("/dev/loop");
#endif
}

} // namespace

tfm_Settings::tfm_Settings()
    : be_Choose(StandardIcon(QStyle::SP_FileDialogDetailedView)),
      be_File(StandardIcon(QStyle::SP_FileIcon)),
      be_Folder(StandardIcon(QStyle::SP_DirOpenIcon)),
      be_Paste(ProgramSvgIcon(QStringLiteral("edit_paste"))),
      be_Run(StandardIcon(QStyle::SP_MediaPlay)),
      ico_Notification_Warning(kNotificationImageWarning),
      ico_Notification_Update(kNotificationImageUpdate),
      pPresentDrives(PresentDrives),
      pClipboardText(ClipboardNow) {}

tfm_Settings*& tfm_Settings::Installed() {
    static tfm_Settings* installed = nullptr;
    return installed;
}

tfm_Settings& tfm_Settings::Current() {
    if (Installed())
        return *Installed();
    static tfm_Settings programSettings;
    return programSettings;
}

TScopedDialogSettings::TScopedDialogSettings(tfm_Settings& settings) : fPrevious(tfm_Settings::Installed()) {
    tfm_Settings::Installed() = &settings;
}

TScopedDialogSettings::~TScopedDialogSettings() {
    tfm_Settings::Installed() = fPrevious;
}

QList<TDriveItem> PresentDrives() {
    QList<TDriveItem> drives;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || !IsRealDisk(volume))
            continue;
        drives.push_back({volume.rootPath(), volume.name()});
    }
    return drives;
}

QString DialogText(Lng key) {
    QString text = LngText(key);
    if (!text.isEmpty())
        return text;
    static const TLanguage* english = [] {
        auto* language = new TLanguage;
        SetBuiltinEnglishLibrary(*language);
        return language;
    }();
    return english->TextCopy(key);
}
