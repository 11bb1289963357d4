#include "gui/util/folder_edit.h"

#include "gui/util/clipboard.h"
#include "gui/util/pickers.h"
#include "lang/language.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QStyle>

namespace {

QIcon FieldIcon(const QString& name) {
    QStyle* style = QApplication::style();
    if (name == QLatin1String("folder"))
        return QIcon::fromTheme(QStringLiteral("folder-open"), style->standardIcon(QStyle::SP_DirOpenIcon));
    if (name == QLatin1String("paste"))
        return QIcon::fromTheme(QStringLiteral("edit-paste"), style->standardIcon(QStyle::SP_FileDialogContentsView));
    if (name == QLatin1String("clear"))
        return QIcon::fromTheme(QStringLiteral("edit-clear"), style->standardIcon(QStyle::SP_DialogResetButton));
    if (name == QLatin1String("drive"))
        return QIcon::fromTheme(QStringLiteral("drive-removable-media"), style->standardIcon(QStyle::SP_DriveHDIcon));
    return style->standardIcon(QStyle::SP_ArrowDown);
}

} // namespace

QAction* AddFieldButton(QLineEdit* field, bool leading, const QString& iconName, std::function<void()> onClick) {
    QAction* action =
        field->addAction(FieldIcon(iconName), leading ? QLineEdit::LeadingPosition : QLineEdit::TrailingPosition);
    action->setObjectName(field->objectName() + (leading ? QStringLiteral("_left") : QStringLiteral("_right")));
    QObject::connect(action, &QAction::triggered, field, std::move(onClick));
    return action;
}

QAction* AddFolderButton(QLineEdit* field) {
    QAction* action = AddFieldButton(field, false, QStringLiteral("folder"), [field] {
        const QString folder = ChooseFolder(field->text(), field->window());
        if (!folder.isEmpty()) {
            field->setText(folder);
            emit field->textEdited(folder);
        }
    });
    action->setToolTip(LngText(Lng::lib_lng_Dlg_Title_ChooseFolder));
    return action;
}

QAction* AddPasteButton(QLineEdit* field, int maxLength, std::function<void()> afterPaste) {
    QAction* action = AddFieldButton(field, false, QStringLiteral("paste"), [field, maxLength, afterPaste] {
        const QString text = ClipboardText(maxLength);
        field->setText(text);
        emit field->textEdited(text);
        if (afterPaste)
            afterPaste();
    });
    action->setToolTip(LngText(Lng::lib_lng_btn_Paste));
    return action;
}
