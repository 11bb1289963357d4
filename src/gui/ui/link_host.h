#pragma once

#include <QPointer>
#include <QWidget>

class TLumo_Link;

// Room for one link in a layout: the link's controls sit on it at (0, 0) and
// its fixed size follows the link's extent, so a caption that changes (a new
// language) moves its neighbours. The host owns the link and removes it with
// itself.
class TLinkHost : public QWidget {
    Q_OBJECT
public:
    TLinkHost(TLumo_Link* link, QWidget* parent);
    ~TLinkHost() override;

    TLumo_Link* Link() const { return fLink; }

private:
    void FollowExtent();

    QPointer<TLumo_Link> fLink;
};
