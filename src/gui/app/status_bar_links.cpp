#include "gui/app/status_bar_links.h"

#include "gui/ui/link_controls.h"
#include "gui/ui/link_host.h"
#include "gui/ui/program_link_style.h"

#include <QFrame>
#include <QHBoxLayout>

namespace {

QFrame* Separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setFixedHeight(13);
    return line;
}

} // namespace

TStatusBarLinks::TStatusBarLinks(QWidget* parent)
    : QWidget(parent), fStyle(std::make_unique<TProgramLinkStyle>()) {
    // The desktop's own font: the captions read like the rest of the window.
    fStyle->Style()->FFont = font();
    fUpdate = NewLink("lnkUpdateAvailable");
    fUpdateSeparator = Separator(this);
    fNewProfile = NewLink("lnkNewProfile");
    fSettings = NewLink("lnkSettings");
    fUpdate->Link()->SetOnClick([this](TLumo_Link&) { emit updateClicked(); });

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 0, 10, 0);
    layout->setSpacing(8);
    layout->addStretch(1);
    layout->addWidget(fUpdate, 0, Qt::AlignVCenter);
    layout->addWidget(fUpdateSeparator, 0, Qt::AlignVCenter);
    layout->addWidget(fNewProfile, 0, Qt::AlignVCenter);
    layout->addWidget(Separator(this), 0, Qt::AlignVCenter);
    layout->addWidget(fSettings, 0, Qt::AlignVCenter);
    setFixedHeight(kHeight);
}

// The hosts remove their links while the style they use still stands.
TStatusBarLinks::~TStatusBarLinks() {
    delete fUpdate;
    delete fNewProfile;
    delete fSettings;
}

TLinkHost* TStatusBarLinks::NewLink(const char* objectName) {
    auto* link = new TLumo_Link(fStyle->Style(), nullptr, -1);
    link->pLabel->setObjectName(QString::fromLatin1(objectName));
    return new TLinkHost(link, this);
}

void TStatusBarLinks::SetTexts(const QString& settings, const QString& newProfile, const QString& updateAvailable) {
    fSettings->Link()->SetCaption(settings);
    fNewProfile->Link()->SetCaption(newProfile);
    fUpdate->Link()->SetCaption(updateAvailable);
}

void TStatusBarLinks::SetMenus(QMenu* settings, QMenu* newProfile) {
    for (auto [host, menu] : {std::pair{fSettings, settings}, std::pair{fNewProfile, newProfile}}) {
        host->Link()->SetPopupMenu(menu);
        host->Link()->SetCommand(lnkCommand_OpenPopup);
    }
}

void TStatusBarLinks::SetUpdateVisible(bool visible) {
    fUpdate->setVisible(visible);
    fUpdateSeparator->setVisible(visible);
}

void TStatusBarLinks::SetMaximized(bool maximized) { setFixedHeight(maximized ? kMaximizedHeight : kHeight); }

TLumo_Link* TStatusBarLinks::SettingsLink() const { return fSettings->Link(); }
TLumo_Link* TStatusBarLinks::NewProfileLink() const { return fNewProfile->Link(); }
TLumo_Link* TStatusBarLinks::UpdateLink() const { return fUpdate->Link(); }
