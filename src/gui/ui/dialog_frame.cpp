#include "gui/ui/dialog_frame.h"

#include "gui/ui/dialog_settings.h"
#include "gui/util/window_helpers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>

namespace {

constexpr int kButtonGap = 15;
constexpr int kRightButtonMargin = 126;
constexpr char kEditButtonProperty[] = "norvaneEditButton";

void FillWith(QWidget* widget, const QColor& colour) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
}

// A number field that never gives a value outside its limits: whatever the
// user typed is brought to the nearest limit when the field is left, and an
// empty field counts as the lower limit.
class TNumberField : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& input, int&) const override {
        static const QRegularExpression allowed(QStringLiteral("^[+-]?[0-9]*$"));
        if (!allowed.match(input).hasMatch())
            return QValidator::Invalid;
        bool ok = false;
        const qlonglong value = input.toLongLong(&ok);
        if (ok && value >= minimum() && value <= maximum())
            return QValidator::Acceptable;
        return QValidator::Intermediate;
    }

    void fixup(QString& input) const override {
        bool ok = false;
        qlonglong value = input.toLongLong(&ok);
        if (!ok)
            value = input.contains(QRegularExpression(QStringLiteral("[0-9]"))) && !input.startsWith(QLatin1Char('-'))
                        ? maximum()
                        : minimum();
        input = QString::number(std::clamp<qlonglong>(value, minimum(), maximum()));
    }
};

} // namespace

QDialog* CreateDialogForm(const QString& caption, int width, int height, QWidget* parent) {
    auto* form = new QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                                         Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    form->setWindowTitle(caption);
    form->setFixedSize(width, height);
    const QRect area = WorkAreaRect();
    form->move(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2);
    return form;
}

QFrame* AddBottomBand(QDialog* form) {
    const tfm_Settings& settings = tfm_Settings::Current();
    auto* band = new QFrame(form);
    band->setObjectName(QStringLiteral("PanelBig"));
    band->setFrameShape(QFrame::NoFrame);
    band->setGeometry(0, form->height() - kDialogBandHeight, form->width(), kDialogBandHeight);
    FillWith(band, settings.cl_Dialog_Bg);
    auto* line = new QFrame(band);
    line->setObjectName(QStringLiteral("PanelLine"));
    line->setFrameShape(QFrame::NoFrame);
    line->setGeometry(0, 0, form->width(), 1);
    FillWith(line, settings.cl_Dialog_Seporator);
    return band;
}

QLabel* AddLabel(QWidget* parent, const QString& caption, int top, int left) {
    auto* label = new QLabel(caption, parent);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}

QPushButton* AddButton(QWidget* parent, const QString& caption, int top, int left, int width, const QIcon& icon) {
    auto* button = new QPushButton(parent);
    if (icon.isNull())
        button->setText(caption);
    else
        button->setIcon(icon);
    button->setGeometry(left, top, width, kDialogButtonHeight);
    return button;
}

QSpinBox* AddNumberField(QWidget* parent, int top, int left, int width, int value, int lowerLimit, int upperLimit) {
    auto* field = new TNumberField(parent);
    field->setRange(lowerLimit, upperLimit);
    field->setValue(value);
    field->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    field->move(left, top);
    field->resize(width, field->sizeHint().height());
    return field;
}

QLineEdit* AddButtonedEdit(QWidget* parent, const QString& text, int top, int left, int width,
                           const QIcon& rightButton) {
    auto* edit = new QLineEdit(text, parent);
    edit->move(left, top);
    edit->resize(width, edit->sizeHint().height());
    if (!rightButton.isNull()) {
        QAction* action = edit->addAction(rightButton, QLineEdit::TrailingPosition);
        edit->setProperty(kEditButtonProperty, QVariant::fromValue(static_cast<QObject*>(action)));
    }
    return edit;
}

QAction* EditFieldButton(QLineEdit* edit) {
    if (!edit)
        return nullptr;
    return qobject_cast<QAction*>(edit->property(kEditButtonProperty).value<QObject*>());
}

QComboBox* AddDropDownList(QWidget* parent, int top, int left, int width) {
    auto* list = new QComboBox(parent);
    list->setEditable(false);
    list->move(left, top);
    list->resize(width, list->sizeHint().height());
    return list;
}

QCheckBox* AddCheckBox(QWidget* parent, const QString& caption, int top, int left, int width, bool checked) {
    auto* box = new QCheckBox(caption, parent);
    box->setChecked(checked);
    box->move(left, top);
    box->resize(width, box->sizeHint().height());
    return box;
}

QRadioButton* AddRadioButton(QWidget* parent, const QString& caption, int top, int left, bool checked) {
    auto* radio = new QRadioButton(caption, parent);
    radio->setChecked(checked);
    radio->move(left, top);
    radio->adjustSize();
    return radio;
}

void PlaceBandButtons(QDialog* form, std::initializer_list<QPushButton*> buttons, bool leftSide, int firstLeft) {
    QWidget* band = form->findChild<QFrame*>(QStringLiteral("PanelBig"), Qt::FindDirectChildrenOnly);
    const int count = static_cast<int>(buttons.size());
    int index = 0;
    QWidget* previous = nullptr;
    for (QPushButton* button : buttons) {
        if (band)
            button->setParent(band);
        const int left = leftSide ? firstLeft + index * (kDialogButtonWidth + kButtonGap)
                                  : form->width() - kRightButtonMargin -
                                        (count - 1 - index) * (kDialogButtonWidth + kButtonGap);
        button->setGeometry(left, kDialogButtonTop, kDialogButtonWidth, kDialogButtonHeight);
        button->show();
        if (previous)
            QWidget::setTabOrder(previous, button);
        previous = button;
        ++index;
    }
}
