#pragma once

#include "gui/ui/link_label.h"

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>

class TLumoImageList;
class TLumo_Link;
class TLumo_ImgLink;
class TLumo_TLink_Settings;

// Links: a coloured caption with an optional small image to its left and an
// optional smaller caption under it, used instead of buttons for secondary
// commands; and image links, pictures that act as buttons. Both own plain
// labels placed on a parent widget; a style is shared by many links. A link's
// caption takes the keyboard focus with Tab and runs on Enter or Space.

// The look shared by links: caption font, the three caption colours, the image
// list and the gaps.
class TLumo_Link_Style {
public:
    // A style without image list lays its captions out without image gap.
    explicit TLumo_Link_Style(const TLumoImageList* nImageList = nullptr);
    ~TLumo_Link_Style();
    TLumo_Link_Style(const TLumo_Link_Style&) = delete;
    TLumo_Link_Style& operator=(const TLumo_Link_Style&) = delete;

    void SetFontSettings(const QString& nFontName, int nFontSize, bool nBold);
    void SetLabelColors(const QColor& nActive, const QColor& nNormal, const QColor& nDisabled);
    // Out of the registry and released.
    void Remove();

    QFont FFont;
    QColor FLabelActiveColor{0, 0, 0};
    QColor FLabelNormalColor{0, 0, 0};
    QColor FLabelDisabledColor{0, 0, 0};
    int FLabelIndent = 8;
    const TLumoImageList* FImageList = nullptr;
    bool FLabelOneInc = false;
    int FSubLabelIndent = 4;
    bool FUppercase = false;
    // The registry that lists the style.
    TLumo_TLink_Settings* pRegistry = nullptr;
};

enum TLumoLink_Status { lnkStatus_Active = 0, lnkStatus_Normal = 1, lnkStatus_Disabled = 2, lnkStatus_None = 3 };

enum TLumoLink_Command { lnkCommand_Default = 0, lnkCommand_OpenPopup = 1, lnkCommand_OpenLink = 2 };

// A caption link. Created without parent; Insert places it.
class TLumo_Link : public QObject {
    Q_OBJECT
public:
    using TClickHandler = std::function<void(TLumo_Link&)>;

    TLumo_Link(TLumo_Link_Style* nStyle, TLumo_Link_Style* nSubStyle, int nImageIndex);
    ~TLumo_Link() override;

    void Insert(QWidget* nControl, const QPoint& nPosition);
    void SetParent(QWidget* Value);
    void SetLinkPosition(const QPoint& nPosition);
    void SetCaption(const QString& Value);
    void SetSubCaption(const QString& Value);
    void SetMultilineCaption(const QString& nText, int nWidth);
    void SetMultilineSubCaption(const QString& nText, int nWidth);
    void SetImageIndex(int nNewIndex, bool nRepaint);
    void SetEnabled(bool Value);
    void SetCommand(TLumoLink_Command Value);
    void SetOnClick(TClickHandler handler);
    void SetHint(const QString& text);
    void SetPopupMenu(QMenu* menu);
    void SetTag(int tag);
    void SetVisible(bool Value);
    void SetDontShowHandpoint(bool Value);
    void SetLink(const QString& link) { pLink = link; }
    // Out of the registry and released, with its controls.
    void Remove();

    // What a person's click does: the owner's handler, the popup menu or the
    // shell's open action, by pCommand.
    void Click();

signals:
    // The link's extent (pWidth, pHeight) may have changed: a host that gives
    // it room in a layout follows it.
    void extentChanged();

public:
    QPointer<TLinkLabel> pLabel;
    QPointer<TLinkLabel> pSubLabel;
    QPointer<TLinkLabel> pImage;
    int pImageIndex = -1;
    int pImageIndex_Active = -1;
    int pImageIndex_Normal = -1;
    int pImageIndex_Disabled = -1;
    int pImageIndex_Last = -1;
    int pLeft = 0;
    int pTop = 0;
    bool pEnabled = false;
    bool pDontShowHandpoint = false;
    QPointer<QWidget> pParent;
    TLumo_Link_Style* pStyle = nullptr;
    TLumo_Link_Style* pSubStyle = nullptr;
    TLumoLink_Status pStatus = lnkStatus_None;
    QString pCaption;
    QString pSubCaption;
    QString pHint;
    bool pVisible = true;
    QPointer<QMenu> pPopupMenu;
    int pWidth = 0;
    int pHeight = 0;
    bool pMultiLine = false;
    bool pSubMultiLine = false;
    int pTag = 0;
    void* pLinkObject = nullptr;
    QString pLink;
    TLumoLink_Command pCommand = lnkCommand_Default;
    TClickHandler pOnClick;
    TLumo_TLink_Settings* pRegistry = nullptr;

    void SetStatus(TLumoLink_Status nStatus);
    void Layout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ControlClicked(const TLinkLabel* control);
    // Enter or Space on the focused caption: a popup menu opens under the
    // caption, where the mouse may not be.
    void KeyActivated();
    void ShowCaptionText(QLabel* label, const QString& text, bool multiLine, int fixedWidth);
    void RecomputeWidth();
    bool ImageShown() const;
    int fCaptionWidth = 0;
    int fSubCaptionWidth = 0;
};

// The four images of an image link.
class TLumoLink_ImgIndex {
public:
    explicit TLumoLink_ImgIndex(const TLumoImageList* nImageList = nullptr) : FImageList(nImageList) {}
    void SetValue(int nActive, int nDisabled, int nClicked, int nHot);

    int FActive = -1;
    int FDisabled = -1;
    int FClicked = -1;
    int FHot = -1;
    int FCurrentImageIndex = -1;
    const TLumoImageList* FImageList = nullptr;
};

// A picture that acts as a button: one image at rest, one under the mouse,
// one while pressed and one when disabled.
class TLumo_ImgLink : public QObject {
    Q_OBJECT
public:
    using TClickHandler = std::function<void(TLumo_ImgLink&)>;

    TLumo_ImgLink(const TLumoImageList* nImageList, int nInd_Active, int nInd_Disabled, int nInd_MouseClick,
                  int nInd_Hot);
    ~TLumo_ImgLink() override;

    void SetEnabled(bool Value);
    void SetAlwaysActive(bool Value);
    void UpdateImage(const TLumoLink_ImgIndex& nValue);
    void SetParent(QWidget* Value);
    void SetLeft(int Value);
    void SetTop(int Value);
    void SetWidth(int Value);
    void SetHeight(int Value);
    void SetCenter(bool Value);
    void SetAutoSize(bool Value);
    void SetAlign(Qt::Alignment Value);
    void SetHint(const QString& Value);
    void SetCommand(TLumoLink_Command Value) { FCommand = Value; }
    void SetLink(const QString& Value) { FLink = Value; }
    void SetPopupMenu(QMenu* Value) { FPopupMenu = Value; }
    void SetOnClick(TClickHandler Value) { FOnClick = std::move(Value); }
    void Remove();
    void Click();

    bool FAlwaysActive = false;
    QPointer<QLabel> FImage;
    QPointer<QWidget> FParent;
    bool FMouseDown = false;
    bool FMouseOn = false;
    bool FEnabled = false;
    QString FLink;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FCenter = false;
    bool FAutoSize = false;
    Qt::Alignment FAlign;
    QString FHint;
    TLumoLink_Command FCommand = lnkCommand_Default;
    QPointer<QMenu> FPopupMenu;
    TClickHandler FOnClick;
    TLumoLink_ImgIndex FImageIndex;
    TLumo_TLink_Settings* pRegistry = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ChooseImage();
};

// Every style, link and image link registers itself here when created; the
// registry releases whatever is still listed when it goes. One registry is in
// use at a time: the program's, or one a test installs for its own objects.
class TLumo_TLink_Settings {
public:
    TLumo_TLink_Settings();
    ~TLumo_TLink_Settings();
    TLumo_TLink_Settings(const TLumo_TLink_Settings&) = delete;
    TLumo_TLink_Settings& operator=(const TLumo_TLink_Settings&) = delete;

    // The installed registry, or the process-wide one when none is.
    static TLumo_TLink_Settings& Current();

    // How a link's target is opened (the desktop's default action); tests
    // replace it.
    std::function<void(const QString&)> pOpenLink;

    QList<TLumo_Link_Style*> lst_Styles;
    QList<TLumo_Link*> lst_Links;
    QList<TLumo_ImgLink*> lst_ImgLinks;

private:
    TLumo_TLink_Settings* fPrevious = nullptr;
    bool fInstalled = false;
};
