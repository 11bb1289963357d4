#include "gui/app/status_bar_links.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>

namespace {

QFrame* Separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(13);
    return line;
}

QString LinkMarkup(const QString& text) {
    return QStringLiteral("<a href=\"#\" style=\"text-decoration:none\">%1</a>").arg(text.toHtmlEscaped());
}

} // namespace

TStatusBarLinks::TStatusBarLinks(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 10, 0);
    layout->setSpacing(8);
    layout->addStretch(1);
    fUpdate = MakeLink(&TStatusBarLinks::updateClicked);
    fUpdateSeparator = Separator(this);
    fNewProfile = MakeLink(&TStatusBarLinks::newProfileClicked);
    fSettings = MakeLink(&TStatusBarLinks::settingsClicked);
    fUpdate->setObjectName(QStringLiteral("lnkUpdateAvailable"));
    fNewProfile->setObjectName(QStringLiteral("lnkNewProfile"));
    fSettings->setObjectName(QStringLiteral("lnkSettings"));
    layout->addWidget(fUpdate);
    layout->addWidget(fUpdateSeparator);
    layout->addWidget(fNewProfile);
    layout->addWidget(Separator(this));
    layout->addWidget(fSettings);
    setFixedHeight(kHeight);
}

QLabel* TStatusBarLinks::MakeLink(void (TStatusBarLinks::*clicked)()) {
    auto* link = new QLabel(this);
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    connect(link, &QLabel::linkActivated, this, [this, clicked] { emit(this->*clicked)(); });
    return link;
}

void TStatusBarLinks::SetTexts(const QString& settings, const QString& newProfile, const QString& updateAvailable) {
    fSettings->setText(LinkMarkup(settings));
    fNewProfile->setText(LinkMarkup(newProfile));
    fUpdate->setText(LinkMarkup(updateAvailable));
}

void TStatusBarLinks::SetUpdateVisible(bool visible) {
    fUpdate->setVisible(visible);
    fUpdateSeparator->setVisible(visible);
}

void TStatusBarLinks::SetMaximized(bool maximized) { setFixedHeight(maximized ? kMaximizedHeight : kHeight); }
