// Links as a person meets them: the look at rest, under the mouse and disabled,
// the images of each look, and what a click runs.

#include "gui/images/image_list.h"
#include "gui/ui/link_controls.h"

#include <QCursor>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QPointer>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

const QColor kActive(10, 120, 220);
const QColor kNormal(40, 40, 40);
const QColor kDisabled(160, 160, 160);

// Nine distinguishable 16-pixel images: three links' worth of triples.
std::unique_ptr<TLumoImageList> NineImages() {
    auto list = std::make_unique<TLumoImageList>(16, 16);
    for (int i = 0; i < 9; ++i) {
        QPixmap pixmap(16, 16);
        pixmap.fill(QColor::fromHsv(i * 40, 200, 200));
        list->Add(QStringLiteral("img%1").arg(i), pixmap);
    }
    return list;
}

QColor CaptionColour(const TLumo_Link& link) {
    return link.pLabel->palette().color(QPalette::WindowText);
}

void Hover(QWidget* widget) {
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(widget, &enter);
}

void Unhover(QWidget* widget) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

class LinkControls : public ::testing::Test {
protected:
    void SetUp() override {
        fImages = NineImages();
        fStyle = new TLumo_Link_Style(fImages.get());
        fStyle->SetFontSettings(QStringLiteral("Sans"), 9, false);
        fStyle->SetLabelColors(kActive, kNormal, kDisabled);
        fStyle->FLabelIndent = 4;
        fParent.resize(400, 200);
        fRegistry.pOpenLink = [this](const QString& target) { fOpened << target; };
    }

    // A link on parent whose clicks count up `clicks`.
    TLumo_Link* CountingLink(QWidget* parent, const QString& caption, const QPoint& at, int& clicks) {
        auto* link = new TLumo_Link(fStyle, nullptr, -1);
        link->SetCaption(caption);
        link->Insert(parent, at);
        link->SetOnClick([&clicks](TLumo_Link&) { ++clicks; });
        return link;
    }

    static bool ShowActive(QWidget* window) {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window);
    }

    TLumo_TLink_Settings fRegistry; // torn down with everything it still lists
    std::unique_ptr<TLumoImageList> fImages;
    TLumo_Link_Style* fStyle = nullptr;
    QWidget fParent;
    QStringList fOpened;
};

} // namespace

TEST_F(LinkControls, ImagesFollowTheLookActiveNormalDisabled) {
    auto* link = new TLumo_Link(fStyle, nullptr, 6);
    link->SetCaption(QStringLiteral("Settings"));
    link->Insert(&fParent, QPoint(10, 20));
    EXPECT_EQ(link->pStatus, lnkStatus_Normal);
    EXPECT_EQ(link->pImageIndex_Last, 7);
    EXPECT_EQ(CaptionColour(*link), kNormal);
    EXPECT_EQ(link->pImage->pixmap().toImage(), fImages->Pixmap(7).toImage());

    Hover(link->pLabel);
    EXPECT_EQ(link->pStatus, lnkStatus_Active);
    EXPECT_EQ(link->pImageIndex_Last, 6);
    EXPECT_EQ(CaptionColour(*link), kActive);
    EXPECT_EQ(link->pLabel->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->pImage->cursor().shape(), Qt::PointingHandCursor);

    Unhover(link->pLabel);
    EXPECT_EQ(link->pImageIndex_Last, 7);
    EXPECT_EQ(link->pLabel->cursor().shape(), Qt::ArrowCursor);

    link->SetEnabled(false);
    EXPECT_EQ(link->pImageIndex_Last, 8);
    EXPECT_EQ(CaptionColour(*link), kDisabled);

    // The caption stands right of the image, past the gap.
    EXPECT_EQ(link->pImage->pos(), QPoint(10, 20));
    EXPECT_EQ(link->pLabel->x(), 10 + 16 + 4);
    EXPECT_EQ(link->pWidth, link->pLabel->x() + link->pLabel->width() - 10);
}

TEST_F(LinkControls, WithoutImageTheCaptionStartsAtTheLinksLeft) {
    auto* link = new TLumo_Link(fStyle, nullptr, -1);
    link->SetCaption(QStringLiteral("New profile"));
    link->Insert(&fParent, QPoint(30, 5));
    EXPECT_EQ(link->pLabel->pos(), QPoint(30, 5));
    EXPECT_FALSE(link->pImage->isVisibleTo(&fParent));
    EXPECT_EQ(link->pImageIndex_Last, -1);
    Hover(link->pLabel);
    EXPECT_EQ(link->pImageIndex_Last, -1);
}

TEST_F(LinkControls, StyleWithoutImageListHasNoImageAndNoGap) {
    auto* plain = new TLumo_Link_Style(nullptr);
    plain->FLabelIndent = 4;
    auto* link = new TLumo_Link(plain, nullptr, 3);
    link->SetCaption(QStringLiteral("About"));
    link->Insert(&fParent, QPoint(12, 8));
    EXPECT_EQ(link->pImage->size(), QSize(0, 0));
    EXPECT_FALSE(link->pImage->isVisibleTo(&fParent));
    EXPECT_EQ(plain->FLabelIndent, 0);
    // The caption stays on the link's line: nothing to centre it against.
    EXPECT_EQ(link->pLabel->pos(), QPoint(12, 8));
    EXPECT_EQ(link->pHeight, link->pLabel->height());
}

TEST_F(LinkControls, SameCaptionTwiceLaysNothingOutAndUpperCaseStylesShout) {
    auto* link = new TLumo_Link(fStyle, nullptr, 0);
    link->SetCaption(QStringLiteral("Run"));
    link->Insert(&fParent, QPoint(0, 0));
    // A layout would put the caption back beside the image.
    link->pLabel->move(200, 150);
    link->SetCaption(QStringLiteral("Run"));
    EXPECT_EQ(link->pLabel->pos(), QPoint(200, 150));
    // From text to other text: only the width is recomputed.
    link->SetCaption(QStringLiteral("Run again"));
    EXPECT_EQ(link->pLabel->pos(), QPoint(200, 150));
    EXPECT_EQ(link->pWidth, link->pLabel->width() + 16 + 4);
    // From text to blank: laid out anew.
    link->SetCaption(QString());
    EXPECT_EQ(link->pLabel->x(), 16 + 4);

    auto* upper = new TLumo_Link_Style(fImages.get());
    upper->FUppercase = true;
    auto* shouting = new TLumo_Link(upper, nullptr, -1);
    shouting->SetCaption(QStringLiteral("settings"));
    EXPECT_EQ(shouting->pCaption, QStringLiteral("SETTINGS"));
    EXPECT_EQ(shouting->pLabel->text(), QStringLiteral("SETTINGS"));
}

TEST_F(LinkControls, ClickRunsTheHandlerOnceAndDisabledLinksIgnoreTheMouse) {
    auto* link = new TLumo_Link(fStyle, nullptr, 0);
    link->SetCaption(QStringLiteral("Scheduler"));
    link->Insert(&fParent, QPoint(0, 0));
    fParent.show();
    int clicks = 0;
    link->SetOnClick([&clicks](TLumo_Link&) { ++clicks; });
    QTest::mouseClick(link->pLabel, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(link->pImage, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);

    link->SetEnabled(false);
    Hover(link->pLabel);
    EXPECT_EQ(link->pStatus, lnkStatus_Disabled);
    EXPECT_EQ(CaptionColour(*link), kDisabled);
    EXPECT_NE(link->pLabel->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(link->pLabel, Qt::LeftButton);
    EXPECT_EQ(clicks, 2);

    link->SetEnabled(true);
    QTest::mouseClick(link->pLabel, Qt::LeftButton);
    EXPECT_EQ(clicks, 3);
}

TEST_F(LinkControls, OpenLinkCommandOpensItsTarget) {
    auto* link = new TLumo_Link(fStyle, nullptr, -1);
    link->SetCaption(QStringLiteral("Site"));
    link->Insert(&fParent, QPoint(0, 0));
    fParent.show();
    bool handlerRan = false;
    link->SetOnClick([&handlerRan](TLumo_Link&) { handlerRan = true; });
    link->SetCommand(lnkCommand_OpenLink);
    link->SetLink(QStringLiteral("https://example.org/backup"));
    QTest::mouseClick(link->pLabel, Qt::LeftButton);
    EXPECT_EQ(fOpened, QStringList{QStringLiteral("https://example.org/backup")});
    EXPECT_FALSE(handlerRan);
    link->SetLink(QString());
    QTest::mouseClick(link->pLabel, Qt::LeftButton);
    EXPECT_EQ(fOpened.size(), 1);
}

TEST_F(LinkControls, WithoutHandpointTheCursorNeverChanges) {
    auto* link = new TLumo_Link(fStyle, nullptr, 0);
    link->SetDontShowHandpoint(true);
    link->SetCaption(QStringLiteral("Status"));
    link->Insert(&fParent, QPoint(0, 0));
    Hover(link->pLabel);
    EXPECT_EQ(link->pStatus, lnkStatus_Active);
    EXPECT_EQ(link->pLabel->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(link->pImage->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(LinkControls, SubCaptionSitsUnderTheCaption) {
    auto* sub = new TLumo_Link_Style(nullptr);
    sub->SetLabelColors(kActive, QColor(90, 90, 90), kDisabled);
    auto* link = new TLumo_Link(fStyle, sub, 0);
    link->SetCaption(QStringLiteral("Update available"));
    link->SetSubCaption(QStringLiteral("Version 2.1"));
    link->Insert(&fParent, QPoint(5, 40));
    EXPECT_EQ(link->pSubLabel->x(), link->pLabel->x());
    EXPECT_EQ(link->pSubLabel->y(), link->pLabel->y() + link->pLabel->height() + fStyle->FSubLabelIndent);
    EXPECT_EQ(link->pHeight,
              std::max(16, link->pLabel->height()) + fStyle->FSubLabelIndent + link->pSubLabel->height());
    Hover(link->pSubLabel);
    EXPECT_EQ(link->pSubLabel->palette().color(QPalette::WindowText), kActive);
}

TEST_F(LinkControls, ImageLinkShowsRestHotPressedAndDisabledImages) {
    // Active 0, disabled 1, clicked 2, hot 3.
    auto* button = new TLumo_ImgLink(fImages.get(), 0, 1, 2, 3);
    button->SetParent(&fParent);
    fParent.show();
    int clicks = 0;
    button->SetOnClick([&clicks](TLumo_ImgLink&) { ++clicks; });
    EXPECT_EQ(button->FImageIndex.FCurrentImageIndex, 1); // at rest: the disabled index
    button->SetAlwaysActive(true);
    EXPECT_EQ(button->FImageIndex.FCurrentImageIndex, 0);
    button->SetAlwaysActive(false);

    Hover(button->FImage);
    EXPECT_EQ(button->FImageIndex.FCurrentImageIndex, 3);
    QTest::mousePress(button->FImage, Qt::LeftButton);
    EXPECT_EQ(button->FImageIndex.FCurrentImageIndex, 2); // pressed wins over hot
    QTest::mouseRelease(button->FImage, Qt::LeftButton);
    EXPECT_EQ(button->FImageIndex.FCurrentImageIndex, 3);
    EXPECT_EQ(clicks, 1);
    Unhover(button->FImage);
    EXPECT_EQ(button->FImageIndex.FCurrentImageIndex, 1);

    TLumoLink_ImgIndex other;
    other.SetValue(4, 5, 6, 7);
    button->UpdateImage(other);
    EXPECT_EQ(button->FImageIndex.FCurrentImageIndex, 5);
    EXPECT_EQ(button->FImage->pixmap().toImage(), fImages->Pixmap(5).toImage());

    button->SetEnabled(false);
    Hover(button->FImage);
    QTest::mouseClick(button->FImage, Qt::LeftButton);
    EXPECT_EQ(button->FImageIndex.FCurrentImageIndex, 5);
    EXPECT_EQ(clicks, 1);
}

TEST(LinkRegistry, ReleasesWhatIsStillListedAndRemoveTakesOut) {
    QWidget parent;
    QPointer<QLabel> caption;
    {
        TLumo_TLink_Settings registry;
        auto* style = new TLumo_Link_Style(nullptr);
        auto* kept = new TLumo_Link(style, nullptr, -1);
        auto* removed = new TLumo_Link(style, nullptr, -1);
        auto* image = new TLumo_ImgLink(nullptr, 0, 1, 2, 3);
        kept->Insert(&parent, QPoint(0, 0));
        caption = kept->pLabel;
        EXPECT_EQ(registry.lst_Links.size(), 2);
        EXPECT_EQ(registry.lst_ImgLinks.size(), 1);
        EXPECT_EQ(registry.lst_Styles.size(), 1);
        removed->Remove();
        image->Remove();
        EXPECT_EQ(registry.lst_Links, QList<TLumo_Link*>{kept});
        EXPECT_TRUE(registry.lst_ImgLinks.isEmpty());
        EXPECT_EQ(&TLumo_TLink_Settings::Current(), &registry);
    }
    EXPECT_TRUE(caption.isNull());
    EXPECT_TRUE(parent.children().isEmpty());
}

// A keyboard user reaches a link with Tab and runs it with Enter or Space; the
// focused caption is underlined, and a disabled link is skipped.
TEST_F(LinkControls, TabReachesTheCaptionAndEnterOrSpaceRunsIt) {
    auto* before = new QLineEdit(&fParent);
    before->move(0, 100);
    int clicks = 0;
    TLumo_Link* link = CountingLink(&fParent, QStringLiteral("Scheduler"), QPoint(10, 10), clicks);
    ASSERT_TRUE(ShowActive(&fParent));
    before->setFocus();
    EXPECT_FALSE(link->pLabel->font().underline());

    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_TRUE(link->pLabel->hasFocus());
    EXPECT_TRUE(link->pLabel->font().underline());
    QTest::keyClick(link->pLabel, Qt::Key_Return);
    QTest::keyClick(link->pLabel, Qt::Key_Space);
    QTest::keyClick(link->pLabel, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks, 3);
    // Other keys and combinations are not the link's.
    QTest::keyClick(link->pLabel, Qt::Key_A);
    QTest::keyClick(link->pLabel, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(clicks, 3);

    link->SetEnabled(false);
    EXPECT_FALSE(link->pLabel->hasFocus());
    EXPECT_FALSE(link->pLabel->font().underline());
    QTest::keyClick(link->pLabel, Qt::Key_Return);
    EXPECT_EQ(clicks, 3);
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_FALSE(link->pLabel->hasFocus());
}

// Enter on a focused link in a dialog runs the link, not the dialog's default button.
TEST_F(LinkControls, EnterOnALinkInADialogLeavesTheDefaultButtonAlone) {
    QDialog dialog;
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setDefault(true);
    ok->move(0, 60);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    int clicks = 0;
    TLumo_Link* link = CountingLink(&dialog, QStringLiteral("Exclude template"), QPoint(0, 0), clicks);
    ASSERT_TRUE(ShowActive(&dialog));
    link->pLabel->setFocus();
    QTest::keyClick(link->pLabel, Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 0);
}

// A popup link opens its menu at the mouse when clicked and under its caption
// when run from the keyboard, where the mouse may be anywhere.
TEST_F(LinkControls, PopupLinksOpenTheirMenuAtTheMouseOrUnderTheCaption) {
    QMenu menu;
    menu.addAction(QStringLiteral("General settings"));
    auto* link = new TLumo_Link(fStyle, nullptr, -1);
    link->SetCaption(QStringLiteral("Settings"));
    link->SetPopupMenu(&menu);
    link->SetCommand(lnkCommand_OpenPopup);
    link->Insert(&fParent, QPoint(40, 30));
    ASSERT_TRUE(ShowActive(&fParent));

    const QPoint inCaption(3, 2);
    QCursor::setPos(link->pLabel->mapToGlobal(inCaption));
    QTest::mouseClick(link->pLabel, Qt::LeftButton, Qt::NoModifier, inCaption);
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), QCursor::pos());
    menu.hide();

    QCursor::setPos(fParent.mapToGlobal(QPoint(300, 180)));
    link->pLabel->setFocus();
    QTest::keyClick(link->pLabel, Qt::Key_Space);
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), link->pLabel->mapToGlobal(QPoint(0, link->pLabel->height())));
    menu.hide();
}
