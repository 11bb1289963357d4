#include "gui/ui/link_host.h"

#include "gui/ui/link_controls.h"

#include <algorithm>

TLinkHost::TLinkHost(TLumo_Link* link, QWidget* parent) : QWidget(parent), fLink(link) {
    connect(fLink, &TLumo_Link::extentChanged, this, &TLinkHost::FollowExtent);
    fLink->Insert(this, QPoint(0, 0));
    FollowExtent();
}

TLinkHost::~TLinkHost() {
    // The link may have been released already by a registry that went first.
    if (fLink)
        fLink->Remove();
}

void TLinkHost::FollowExtent() {
    if (!fLink)
        return;
    setFixedSize(std::max(fLink->pWidth, 0), std::max(fLink->pHeight, 0));
}
