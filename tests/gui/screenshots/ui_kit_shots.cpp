// Pictures of the shared building blocks: a popup stack, the message box, the
// Yes/No question during its countdown and every value dialog.

#include "shot_registry.h"

#include "gui/images/program_images.h"
#include "gui/notify/notification_form.h"
#include "gui/notify/notifications.h"
#include "gui/ui/message_box.h"
#include "gui/ui/standard_dialogs.h"
#include "gui/ui/value_dialogs.h"
#include "gui/util/window_helpers.h"
#include "lang/language.h"

#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTest>

namespace {

// Hands the dialog of a builder object to the picture tool: the builder goes
// when the tool destroys the window.
template <typename TBuilder>
std::unique_ptr<QWidget> TakeDialog(TBuilder* builder) {
    QDialog* dialog = builder->sForm;
    QObject::connect(dialog, &QObject::destroyed, [builder] {
        builder->sForm = nullptr;
        delete builder;
    });
    return std::unique_ptr<QWidget>(dialog);
}

bool IsRussian(const TShotEnv& env) {
    return env.Language == QStringLiteral("Russian");
}

QString Pick(const TShotEnv& env, const char* english, const char* russian) {
    return QString::fromUtf8(IsRussian(env) ? russian : english);
}

// Popups open on the real screen; the picture is the screen's corner where
// they stand, so the stacking shows as it is.
std::unique_ptr<QWidget> PopupStack(TShotEnv& env, bool titleLabels) {
    TLumoNotificationSettings manager;
    manager.pAppName = QStringLiteral("Backup");
    manager.pDontUseTitleLabel = !titleLabels;
    QFont title = manager.fntText;
    title.setPointSize(title.pointSize() + 2);
    title.setBold(true);
    manager.fntTitle = title;
    ShowNotification(LngText(Lng::lib_lng_Dlg_Title_Warning),
                     Pick(env, "There are no profiles to show in the scheduler.",
                          "Нет профилей для отображения в планировщике."),
                     kNotificationImageWarning, 0);
    ShowNotification(Pick(env, "Error", "Ошибка"),
                     Pick(env,
                          "The update could not be downloaded: the server did not answer. Check the connection "
                          "and try again later.",
                          "Не удалось загрузить обновление: сервер не ответил. Проверьте подключение и "
                          "повторите попытку позже."),
                     kNotificationImageError, 0);
    ShowLinkNotification(LngText(Lng::lib_lng_Update_Title), Pick(env, "Version 2.1 is available.",
                                                                    "Доступна версия 2.1."),
                         LngText(Lng::lib_lng_Update_lnkDownload), kNotificationImageUpdate, 0, 0, 0, nullptr);
    ShowNotification(Pick(env, "Backup", "Резервное копирование"),
                     Pick(env, "The profile was saved.", "Профиль сохранён."), kNotificationImageInfo, 0);
    QTest::qWait(300);
    QRect covered;
    for (const TNotification* note : manager.NotificationList)
        covered |= QRect(note->PosX, note->PosY, note->frmWidth, note->frmHeight);
    covered.adjust(-10, -10, 10, 10);
    QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0, covered.x(), covered.y(), covered.width(),
                                                                  covered.height());
    auto label = std::make_unique<QLabel>();
    label->setPixmap(picture);
    label->resize(picture.size());
    return label;
}

std::unique_ptr<QWidget> MessageBox(TShotEnv& env) {
    auto* box = new tfm_MessageBox;
    box->SetFormTitle(Pick(env, "Profile editor", "Редактор профиля"));
    box->SetFormCaption(LngText(Lng::lib_lng_Dlg_Text_CloseSaveChangesConfirm));
    box->SetButton(1, mrCancel, LngText(Lng::lib_lng_btn_Cancel));
    box->SetButton(2, mrNo, LngText(Lng::lib_lng_btn_No));
    box->SetButton(3, mrYes, LngText(Lng::lib_lng_btn_Yes));
    box->SetButtonsVisible(3);
    return TakeDialog(box);
}

std::unique_ptr<QWidget> YesNoCountdown(TShotEnv& env) {
    auto* box = new tfm_MessageBox;
    box->SetFormTitle(LngText(Lng::lib_lng_Dlg_Title_DeleteConfirm));
    box->SetFormCaption(LngText(Lng::lib_lng_Dlg_Text_DeleteSelected));
    box->SetButton(1, mrNo, LngText(Lng::lib_lng_btn_No));
    box->SetButton(2, mrYes, LngText(Lng::lib_lng_btn_Yes));
    box->SetButtonsVisible(2);
    box->SetDownButton();
    box->Button1->setFocus();
    return TakeDialog(box);
}

// Every program image at 16, 32 and (at ratio 2) 32 logical pixels.
std::unique_ptr<QWidget> ImageSheet(TShotEnv&) {
    const int count = static_cast<int>(std::size(kAllProgramImages));
    QPixmap sheet(count * 72 + 8, 16 + 32 + 64 + 40);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int i = 0; i < count; ++i) {
        const int left = 8 + i * 72;
        painter.drawPixmap(left, 8, ProgramPixmap(kAllProgramImages[i], 16));
        painter.drawPixmap(left, 32, ProgramPixmap(kAllProgramImages[i], 32));
        QPixmap twice = ProgramPixmap(kAllProgramImages[i], 32, 2.0);
        twice.setDevicePixelRatio(1.0); // shown pixel for pixel
        painter.drawPixmap(left, 72, twice);
    }
    painter.end();
    auto label = std::make_unique<QLabel>();
    label->setPixmap(sheet);
    label->resize(sheet.size());
    return label;
}

const TShotRegistrar kImages("program_images", ImageSheet);
const TShotRegistrar kPopups("popup_stack", [](TShotEnv& env) { return PopupStack(env, false); });
const TShotRegistrar kPopupsWithTitles("popup_stack_title_labels",
                                       [](TShotEnv& env) { return PopupStack(env, true); });
const TShotRegistrar kMessageBox("message_box", MessageBox);
const TShotRegistrar kYesNo("yes_no_question", YesNoCountdown);
const TShotRegistrar kFile("dialog_choose_file", [](TShotEnv&) {
    return TakeDialog(new tfm_FileChooserForm(QString(), QString(), QDir::homePath() + QStringLiteral("/report.txt"),
                                              {tFileDialog_Type::fd_AllFiles}, nullptr));
});
const TShotRegistrar kFolder("dialog_choose_folder", [](TShotEnv&) {
    return TakeDialog(new tfm_FolderChooserForm(QDir::homePath() + QLatin1Char('/'), nullptr));
});
const TShotRegistrar kDrive("dialog_choose_disk",
                            [](TShotEnv&) { return TakeDialog(new tfm_DriveGetValueForm(QChar(), QString(), nullptr)); });
const TShotRegistrar kNumber("dialog_ask_number", [](TShotEnv& env) {
    return TakeDialog(new tfm_IntegerGetValueForm(Pick(env, "Pause", "Пауза"),
                                                  Pick(env, "Pause, seconds:", "Пауза, секунд:"), 30, 1, 3600,
                                                  nullptr));
});
const TShotRegistrar kText("dialog_ask_text", [](TShotEnv& env) {
    return TakeDialog(new tfm_StringGetValueForm(
        Pick(env, "Profile title", "Название профиля"),
        Pick(env, "Enter the title under which the profile is shown in the list:",
             "Введите название, под которым профиль показывается в списке:"),
        Pick(env, "Documents to the USB disk", "Документы на USB-диск"), 100, nullptr));
});

} // namespace
