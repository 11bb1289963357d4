#include "gui/util/two_folder_dialog.h"

#include "gui/notify/notifications.h"
#include "gui/util/folder_edit.h"
#include "lang/language.h"
#include "util/string_lists.h"

#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

tFrmTwoFolderChoose::tFrmTwoFolderChoose(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("tFrmTwoFolderChoose"));
    auto* grid = new QGridLayout(this);
    lblSource = new QLabel(this);
    lblStorage = new QLabel(this);
    edtSource = new QLineEdit(this);
    edtSource->setObjectName(QStringLiteral("edtSource"));
    edtStorage = new QLineEdit(this);
    edtStorage->setObjectName(QStringLiteral("edtStorage"));
    AddFolderButton(edtSource);
    AddFolderButton(edtStorage);
    grid->addWidget(lblSource, 0, 0);
    grid->addWidget(edtSource, 1, 0);
    grid->addWidget(lblStorage, 2, 0);
    grid->addWidget(edtStorage, 3, 0);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnApply = new QPushButton(this);
    btnApply->setObjectName(QStringLiteral("btnApply"));
    btnApply->setDefault(true);
    btnCancel = new QPushButton(this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    buttons->addWidget(btnApply);
    buttons->addWidget(btnCancel);
    grid->addLayout(buttons, 4, 0);
    connect(btnApply, &QPushButton::clicked, this, &tFrmTwoFolderChoose::btnApplyClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(edtSource, &QLineEdit::returnPressed, edtStorage, qOverload<>(&QWidget::setFocus));
    resize(520, sizeHint().height());
    SetLanguageToForm();
}

void tFrmTwoFolderChoose::SetLanguageToForm() {
    setWindowTitle(LngText(Lng::lib_lng_Dlg_Title_ChooseFolder));
    lblSource->setText(LngText(Lng::lib_lng_Edit_SourceFolder));
    lblStorage->setText(LngText(Lng::lib_lng_Edit_StorageFolder));
    btnApply->setText(LngText(Lng::lib_lng_btn_Apply));
    btnCancel->setText(LngText(Lng::lib_lng_btn_Cancel));
}

void tFrmTwoFolderChoose::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange)
        SetLanguageToForm();
    QDialog::changeEvent(event);
}

void tFrmTwoFolderChoose::SetFolders(const QString& source, const QString& storage) {
    edtSource->setText(source);
    edtStorage->setText(storage);
}

bool tFrmTwoFolderChoose::Refuse(const QString& text, QLineEdit* field) {
    ShowNotification(LngText(Lng::lib_lng_Dlg_Title_Warning), text, 1, -1);
    if (field)
        field->setFocus();
    return false;
}

void tFrmTwoFolderChoose::btnApplyClick() {
    for (QLineEdit* field : {edtSource, edtStorage}) {
        const QString path = field->text().trimmed();
        // A relative folder would depend on whatever folder the program
        // happens to run in.
        if (path.isEmpty() || QDir::isRelativePath(path)) {
            Refuse(LngText(Lng::lib_lng_Dlg_Text_InvalidFolder), field);
            return;
        }
    }
    const QString source = IncludeBackslash(edtSource->text().trimmed());
    const QString storage = IncludeBackslash(edtStorage->text().trimmed());
    if (source.compare(storage, Qt::CaseInsensitive) == 0) {
        Refuse(LngText(Lng::lng_Dialog_FoldersPathMustNotMath), edtStorage);
        return;
    }
    if (source.startsWith(storage, Qt::CaseInsensitive) || storage.startsWith(source, Qt::CaseInsensitive)) {
        Refuse(LngText(Lng::lng_Dialog_FolderExistsOrNested), edtStorage);
        return;
    }
    fSource = source;
    fStorage = storage;
    accept();
}

TFolderPair ChooseTwoFolders(const QString& source, const QString& storage, QWidget* parent) {
    tFrmTwoFolderChoose dialog(parent);
    dialog.SetFolders(source, storage);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return {dialog.SourceFolder(), dialog.StorageFolder()};
}
