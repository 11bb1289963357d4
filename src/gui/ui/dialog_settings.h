#pragma once

#include <QColor>
#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class TLumo_Link_Style;

// A volume the drive dialog offers: its root ("/media/usb", "E:\") and label.
struct TDriveItem {
    QString Root;
    QString Label;
};

// The look of the standard dialogs and the system services they call. One
// object is in use at a time: the program's (configured by the main window
// while it is created), or one a test installs with TScopedDialogSettings.
class tfm_Settings {
public:
    tfm_Settings();

    static tfm_Settings& Current();

    TLumo_Link_Style* st_LinkStyle = nullptr;
    // Images of the buttons inside edit fields.
    QIcon be_Choose;
    QIcon be_File;
    QIcon be_Folder;
    QIcon be_Paste;
    QIcon be_Run;
    // Popup image and show time of the warnings the dialogs give.
    int ico_Notification_Warning;
    int ico_Notification_Update;
    int st_NotificationShow = -1;
    // Buttons of the message box and the text dialog at the left end of the band.
    bool st_LeftSide_Buttons = true;
    QColor cl_Dialog_Bg{50, 63, 71};
    QColor cl_Dialog_Seporator{55, 66, 72};
    bool bShutDown = false;

    // Milliseconds between the steps of the Yes countdown (one second).
    int pCountdownTickMs = 1000;
    // The sources behind the value dialogs: the present volumes, the
    // clipboard's text. Tests put their own here; the file and folder
    // pickers are answered through TScopedPickerAnswers.
    std::function<QList<TDriveItem>()> pPresentDrives;
    std::function<QString()> pClipboardText;

private:
    friend class TScopedDialogSettings;
    static tfm_Settings*& Installed();
};

// Installs settings for its lifetime, then puts the previous ones back.
class TScopedDialogSettings {
public:
    explicit TScopedDialogSettings(tfm_Settings& settings);
    ~TScopedDialogSettings();
    TScopedDialogSettings(const TScopedDialogSettings&) = delete;
    TScopedDialogSettings& operator=(const TScopedDialogSettings&) = delete;

private:
    tfm_Settings* fPrevious;
};

// The volumes that are mounted and readable, real disks only.
QList<TDriveItem> PresentDrives();

enum class Lng : int;
// The current language's text of a dialog-library variable; while the
// language leaves it empty (none applied yet, a language file without it),
// the English built-in text, so that no button ever goes blank.
QString DialogText(Lng key);
