#include "gui/ui/link_controls.h"

#include "gui/images/image_list.h"
#include "os/shell.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>

#include <cmath>

namespace {

TLumo_TLink_Settings* gInstalledRegistry = nullptr;

void OpenWithDesktop(const QString& target) {
    const std::vector<std::string> command = os::ShellOpenCommand(target.toStdString());
    if (command.empty())
        return;
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i)
        arguments << QString::fromStdString(command[i]);
    QProcess::startDetached(QString::fromStdString(command.front()), arguments);
}

void OpenLinkTarget(const QString& target) {
    if (target.isEmpty())
        return;
    const auto& open = TLumo_TLink_Settings::Current().pOpenLink;
    if (open)
        open(target);
}

void PopupAtMouse(QMenu* menu) {
    if (menu)
        menu->popup(QCursor::pos());
}

void SetTextColour(QLabel* label, const QColor& colour) {
    if (!label)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

TLinkLabel* NewLabel() {
    auto* label = new TLinkLabel;
    label->hide();
    return label;
}

// Halves go to the even neighbour, as the captions have always been centred.
int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

} // namespace

// ---------------------------------------------------------------- registry

TLumo_TLink_Settings::TLumo_TLink_Settings() : pOpenLink(OpenWithDesktop), fPrevious(gInstalledRegistry) {
    gInstalledRegistry = this;
    fInstalled = true;
}

TLumo_TLink_Settings::~TLumo_TLink_Settings() {
    while (!lst_Links.isEmpty())
        delete lst_Links.takeLast();
    while (!lst_ImgLinks.isEmpty())
        delete lst_ImgLinks.takeLast();
    while (!lst_Styles.isEmpty())
        delete lst_Styles.takeLast();
    if (fInstalled && gInstalledRegistry == this)
        gInstalledRegistry = fPrevious;
}

TLumo_TLink_Settings& TLumo_TLink_Settings::Current() {
    if (gInstalledRegistry)
        return *gInstalledRegistry;
    static TLumo_TLink_Settings processRegistry;
    return processRegistry;
}

// ---------------------------------------------------------------- style

TLumo_Link_Style::TLumo_Link_Style(const TLumoImageList* nImageList) : FImageList(nImageList) {
    pRegistry = &TLumo_TLink_Settings::Current();
    pRegistry->lst_Styles.append(this);
}

TLumo_Link_Style::~TLumo_Link_Style() {
    pRegistry->lst_Styles.removeAll(this);
}

void TLumo_Link_Style::SetFontSettings(const QString& nFontName, int nFontSize, bool nBold) {
    FFont.setFamily(nFontName);
    if (nFontSize > 0)
        FFont.setPointSize(nFontSize);
    if (nBold)
        FFont.setBold(true);
}

void TLumo_Link_Style::SetLabelColors(const QColor& nActive, const QColor& nNormal, const QColor& nDisabled) {
    FLabelActiveColor = nActive;
    FLabelNormalColor = nNormal;
    FLabelDisabledColor = nDisabled;
}

void TLumo_Link_Style::Remove() {
    delete this;
}

// ---------------------------------------------------------------- link

TLumo_Link::TLumo_Link(TLumo_Link_Style* nStyle, TLumo_Link_Style* nSubStyle, int nImageIndex)
    : pLabel(NewLabel()), pSubLabel(NewLabel()), pImage(NewLabel()), pStyle(nStyle), pSubStyle(nSubStyle) {
    pRegistry = &TLumo_TLink_Settings::Current();
    pRegistry->lst_Links.append(this);
    SetImageIndex(nImageIndex, false);
    pStatus = lnkStatus_Disabled;
    if (pStyle)
        pLabel->setFont(pStyle->FFont);
    const TLumoImageList* images = pStyle ? pStyle->FImageList : nullptr;
    if (images) {
        pImage->setFixedSize(images->Width(), images->Height());
    } else {
        pImage->setFixedSize(0, 0);
        if (pStyle)
            pStyle->FLabelIndent = 0;
    }
    if (pSubStyle)
        pSubLabel->setFont(pSubStyle->FFont);
    pLabel->SetFocusable(true);
    for (TLinkLabel* control : {pLabel.data(), pSubLabel.data(), pImage.data()}) {
        control->installEventFilter(this);
        connect(control, &TLinkLabel::hoverChanged, this,
                [this](bool over) { SetStatus(over ? lnkStatus_Active : lnkStatus_Normal); });
        connect(control, &TLinkLabel::clicked, this, [this, control] { ControlClicked(control); });
    }
    connect(pLabel, &TLinkLabel::keyActivated, this, &TLumo_Link::KeyActivated);
    SetEnabled(true);
}

TLumo_Link::~TLumo_Link() {
    pRegistry->lst_Links.removeAll(this);
    delete pLabel.data();
    delete pSubLabel.data();
    delete pImage.data();
}

void TLumo_Link::Remove() {
    delete this;
}

bool TLumo_Link::ImageShown() const {
    return pImageIndex != -1 && pStyle && pStyle->FImageList;
}

void TLumo_Link::SetParent(QWidget* Value) {
    pParent = Value;
    for (QLabel* control : {pLabel.data(), pSubLabel.data(), pImage.data()}) {
        if (!control)
            continue;
        control->setParent(Value);
    }
    SetVisible(pVisible);
    Layout();
}

void TLumo_Link::Insert(QWidget* nControl, const QPoint& nPosition) {
    pLeft = nPosition.x();
    pTop = nPosition.y();
    SetParent(nControl);
}

void TLumo_Link::SetLinkPosition(const QPoint& nPosition) {
    pLeft = nPosition.x();
    pTop = nPosition.y();
    Layout();
}

void TLumo_Link::ShowCaptionText(QLabel* label, const QString& text, bool multiLine, int fixedWidth) {
    label->setText(text);
    label->setWordWrap(multiLine);
    if (multiLine) {
        label->setFixedWidth(fixedWidth);
        label->setFixedHeight(label->heightForWidth(fixedWidth));
    } else {
        label->setMinimumSize(0, 0);
        label->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        label->adjustSize();
    }
}

void TLumo_Link::RecomputeWidth() {
    int width = std::max(pLabel->width(), pSubCaption.isEmpty() ? 0 : pSubLabel->width());
    if (ImageShown())
        width += pImage->width() + pStyle->FLabelIndent;
    pWidth = width;
    emit extentChanged();
}

void TLumo_Link::SetCaption(const QString& Value) {
    const QString text = pStyle && pStyle->FUppercase ? Value.toUpper() : Value;
    if (text == pCaption)
        return;
    const bool presenceChanged = text.trimmed().isEmpty() != pCaption.trimmed().isEmpty();
    pCaption = text;
    ShowCaptionText(pLabel, text, pMultiLine, pLabel->width());
    if (presenceChanged)
        Layout();
    else
        RecomputeWidth();
}

void TLumo_Link::SetSubCaption(const QString& Value) {
    const QString text = pSubStyle && pSubStyle->FUppercase ? Value.toUpper() : Value;
    if (text == pSubCaption)
        return;
    pSubCaption = text;
    ShowCaptionText(pSubLabel, text, pSubMultiLine, pSubLabel->width());
    SetVisible(pVisible);
    Layout();
}

void TLumo_Link::SetMultilineCaption(const QString& nText, int nWidth) {
    pMultiLine = true;
    pCaption = pStyle && pStyle->FUppercase ? nText.toUpper() : nText;
    ShowCaptionText(pLabel, pCaption, true, nWidth);
    Layout();
}

void TLumo_Link::SetMultilineSubCaption(const QString& nText, int nWidth) {
    pSubMultiLine = true;
    pSubCaption = pSubStyle && pSubStyle->FUppercase ? nText.toUpper() : nText;
    ShowCaptionText(pSubLabel, pSubCaption, true, nWidth);
    SetVisible(pVisible);
    Layout();
}

void TLumo_Link::SetImageIndex(int nNewIndex, bool nRepaint) {
    pImageIndex = nNewIndex;
    pImageIndex_Active = nNewIndex;
    pImageIndex_Normal = nNewIndex == -1 ? -1 : nNewIndex + 1;
    pImageIndex_Disabled = nNewIndex == -1 ? -1 : nNewIndex + 2;
    pImageIndex_Last = -1;
    if (nNewIndex == -1 && pImage)
        pImage->clear();
    if (nRepaint) {
        const TLumoLink_Status status = pStatus;
        pStatus = lnkStatus_None;
        SetStatus(status);
    }
}

void TLumo_Link::SetStatus(TLumoLink_Status nStatus) {
    if (nStatus == pStatus)
        return;
    pStatus = nStatus;
    QColor colour;
    QColor subColour;
    int imageIndex = -1;
    switch (nStatus) {
    case lnkStatus_Active:
        colour = pStyle ? pStyle->FLabelActiveColor : QColor();
        subColour = pSubStyle ? pSubStyle->FLabelActiveColor : QColor();
        imageIndex = pImageIndex_Active;
        break;
    case lnkStatus_Normal:
        colour = pStyle ? pStyle->FLabelNormalColor : QColor();
        subColour = pSubStyle ? pSubStyle->FLabelNormalColor : QColor();
        imageIndex = pImageIndex_Normal;
        break;
    case lnkStatus_Disabled:
        colour = pStyle ? pStyle->FLabelDisabledColor : QColor();
        subColour = pSubStyle ? pSubStyle->FLabelDisabledColor : QColor();
        imageIndex = pImageIndex_Disabled;
        break;
    case lnkStatus_None:
        return;
    }
    if (colour.isValid())
        SetTextColour(pLabel, colour);
    if (pSubStyle && subColour.isValid())
        SetTextColour(pSubLabel, subColour);
    if (!pDontShowHandpoint) {
        const Qt::CursorShape shape = nStatus == lnkStatus_Active ? Qt::PointingHandCursor : Qt::ArrowCursor;
        pLabel->setCursor(shape);
        pSubLabel->setCursor(shape);
    }
    const TLumoImageList* images = pStyle ? pStyle->FImageList : nullptr;
    if (images && imageIndex != -1 && imageIndex != pImageIndex_Last) {
        pImage->setPixmap(images->Pixmap(imageIndex));
        pImageIndex_Last = imageIndex;
    }
    pImage->setCursor(pLabel->cursor());
}

void TLumo_Link::SetEnabled(bool Value) {
    if (Value == pEnabled)
        return;
    pEnabled = Value;
    // The controls stop reacting to the mouse and the keys while the link is
    // disabled, which is what taking away the handlers means here.
    for (TLinkLabel* control : {pLabel.data(), pSubLabel.data(), pImage.data()})
        control->SetReacting(Value);
    SetStatus(Value ? lnkStatus_Normal : lnkStatus_Disabled);
}

void TLumo_Link::SetCommand(TLumoLink_Command Value) {
    pCommand = Value;
}

void TLumo_Link::SetOnClick(TClickHandler handler) {
    pOnClick = std::move(handler);
}

void TLumo_Link::SetHint(const QString& text) {
    pHint = text;
    pLabel->setToolTip(text);
    pImage->setToolTip(text);
}

void TLumo_Link::SetPopupMenu(QMenu* menu) {
    pPopupMenu = menu;
}

void TLumo_Link::SetTag(int tag) {
    pTag = tag;
    pLabel->setProperty("tag", tag);
    pImage->setProperty("tag", tag);
}

void TLumo_Link::SetVisible(bool Value) {
    pVisible = Value;
    const bool placed = pParent != nullptr;
    pLabel->setVisible(placed && Value);
    pImage->setVisible(placed && Value && ImageShown());
    // The sub-caption follows too: a hidden link that left its second line
    // standing would read as a caption of its own.
    pSubLabel->setVisible(placed && Value && !pSubCaption.isEmpty());
}

void TLumo_Link::SetDontShowHandpoint(bool Value) {
    pDontShowHandpoint = Value;
    if (Value) {
        pLabel->setCursor(Qt::ArrowCursor);
        pSubLabel->setCursor(Qt::ArrowCursor);
        pImage->setCursor(Qt::ArrowCursor);
    }
}

void TLumo_Link::Layout() {
    if (!pParent || !pStyle)
        return;
    pImage->move(pLeft, pTop);
    const int hI = pImage->height();
    const int hL = pLabel->height();
    const bool hasSub = !pSubCaption.isEmpty();
    const int hS = hasSub ? pSubLabel->height() : 0;
    const int indent = pStyle->FSubLabelIndent;
    int captionLeft = pImage->x();
    int captionTop = pImage->y();
    // A link whose style has no images is laid out like one without image:
    // centring on a zero-height image would lift the caption off its place.
    if (ImageShown()) {
        captionLeft = pImage->x() + pImage->width() + pStyle->FLabelIndent;
        if (hasSub)
            captionTop = pImage->y() + RoundHalfEven(hI / 2.0 - hL / 2.0 - hS / 2.0 - indent / 2.0);
        else if (pMultiLine)
            captionTop = pImage->y() + 2;
        else
            captionTop = pImage->y() + RoundHalfEven(hI / 2.0 - hL / 2.0);
        if (pStyle->FLabelOneInc)
            captionTop -= 1;
    }
    pLabel->move(captionLeft, captionTop);
    pSubLabel->move(captionLeft, hasSub ? pLabel->y() + hL + indent : pImage->y());
    const int right = std::max(pLabel->x() + pLabel->width(), hasSub ? pSubLabel->x() + pSubLabel->width() : 0);
    pWidth = right - pLeft;
    pHeight = std::max(hI, hL) + (hasSub ? indent + hS : 0);
    emit extentChanged();
}

void TLumo_Link::Click() {
    switch (pCommand) {
    case lnkCommand_Default:
        if (pOnClick)
            pOnClick(*this);
        break;
    case lnkCommand_OpenPopup: PopupAtMouse(pPopupMenu); break;
    case lnkCommand_OpenLink: OpenLinkTarget(pLink); break;
    }
}

void TLumo_Link::ControlClicked(const TLinkLabel* control) {
    // The sub-caption only reacts to the owner's handler, as the caption does.
    if (control == pSubLabel && pCommand != lnkCommand_Default)
        return;
    Click();
}

void TLumo_Link::KeyActivated() {
    if (pCommand == lnkCommand_OpenPopup) {
        if (pPopupMenu)
            pPopupMenu->popup(pLabel->mapToGlobal(QPoint(0, pLabel->height())));
        return;
    }
    Click();
}

bool TLumo_Link::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ContextMenu && pPopupMenu) {
        pPopupMenu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

// ---------------------------------------------------------------- image link

void TLumoLink_ImgIndex::SetValue(int nActive, int nDisabled, int nClicked, int nHot) {
    FActive = nActive;
    FDisabled = nDisabled;
    FClicked = nClicked;
    FHot = nHot;
}

TLumo_ImgLink::TLumo_ImgLink(const TLumoImageList* nImageList, int nInd_Active, int nInd_Disabled,
                             int nInd_MouseClick, int nInd_Hot)
    : FImage(NewLabel()), FImageIndex(nImageList) {
    pRegistry = &TLumo_TLink_Settings::Current();
    pRegistry->lst_ImgLinks.append(this);
    FImageIndex.SetValue(nInd_Active, nInd_Disabled, nInd_MouseClick, nInd_Hot);
    if (nImageList)
        FImage->resize(nImageList->Width(), nImageList->Height());
    FImage->installEventFilter(this);
    SetEnabled(true);
}

TLumo_ImgLink::~TLumo_ImgLink() {
    pRegistry->lst_ImgLinks.removeAll(this);
    delete FImage.data();
}

void TLumo_ImgLink::Remove() {
    delete this;
}

void TLumo_ImgLink::ChooseImage() {
    if (!FImageIndex.FImageList)
        return;
    int index;
    if (!FEnabled)
        index = FImageIndex.FDisabled;
    else if (FMouseDown)
        index = FImageIndex.FClicked;
    else if (FMouseOn)
        index = FImageIndex.FHot;
    else if (FAlwaysActive)
        index = FImageIndex.FActive;
    else
        index = FImageIndex.FDisabled;
    if (index == FImageIndex.FCurrentImageIndex)
        return;
    FImageIndex.FCurrentImageIndex = index;
    FImage->setPixmap(FImageIndex.FImageList->Pixmap(index));
}

void TLumo_ImgLink::SetEnabled(bool Value) {
    FEnabled = Value;
    FImage->setEnabled(Value);
    if (!Value) {
        FMouseDown = false;
        FMouseOn = false;
    }
    ChooseImage();
}

void TLumo_ImgLink::SetAlwaysActive(bool Value) {
    FAlwaysActive = Value;
    ChooseImage();
}

void TLumo_ImgLink::UpdateImage(const TLumoLink_ImgIndex& nValue) {
    if (nValue.FActive == FImageIndex.FActive && nValue.FDisabled == FImageIndex.FDisabled &&
        nValue.FClicked == FImageIndex.FClicked && nValue.FHot == FImageIndex.FHot)
        return;
    FImageIndex.SetValue(nValue.FActive, nValue.FDisabled, nValue.FClicked, nValue.FHot);
    ChooseImage();
    FImage->repaint();
}

void TLumo_ImgLink::SetParent(QWidget* Value) {
    FParent = Value;
    FImage->setParent(Value);
    FImage->setVisible(Value != nullptr);
}

void TLumo_ImgLink::SetLeft(int Value) {
    FLeft = Value;
    FImage->move(FLeft, FTop);
}

void TLumo_ImgLink::SetTop(int Value) {
    FTop = Value;
    FImage->move(FLeft, FTop);
}

void TLumo_ImgLink::SetWidth(int Value) {
    FWidth = Value;
    FImage->resize(Value, FImage->height());
}

void TLumo_ImgLink::SetHeight(int Value) {
    FHeight = Value;
    FImage->resize(FImage->width(), Value);
}

void TLumo_ImgLink::SetCenter(bool Value) {
    FCenter = Value;
    FImage->setAlignment(Value ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignTop);
}

void TLumo_ImgLink::SetAutoSize(bool Value) {
    FAutoSize = Value;
    if (Value)
        FImage->adjustSize();
}

void TLumo_ImgLink::SetAlign(Qt::Alignment Value) {
    FAlign = Value;
    FImage->setAlignment(Value);
}

void TLumo_ImgLink::SetHint(const QString& Value) {
    FHint = Value;
    FImage->setToolTip(Value);
}

void TLumo_ImgLink::Click() {
    switch (FCommand) {
    case lnkCommand_OpenLink: OpenLinkTarget(FLink); break;
    case lnkCommand_OpenPopup: PopupAtMouse(FPopupMenu); break;
    case lnkCommand_Default:
        if (FOnClick)
            FOnClick(*this);
        break;
    }
}

bool TLumo_ImgLink::eventFilter(QObject* watched, QEvent* event) {
    if (!FEnabled || watched != FImage)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Enter: FMouseOn = true; ChooseImage(); break;
    case QEvent::Leave: FMouseOn = false; ChooseImage(); break;
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            FMouseDown = true;
            ChooseImage();
        }
        break;
    case QEvent::MouseButtonRelease: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            break;
        FMouseDown = false;
        ChooseImage();
        if (FImage->rect().contains(mouse->position().toPoint())) {
            Click();
            return true;
        }
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched, event);
}
