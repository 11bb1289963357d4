#pragma once

#include <QWidget>

#include <memory>

class QMenu;
class TLinkHost;
class TLumo_Link;
class TProgramLinkStyle;

// The strip below the main window's list: right-aligned links "Settings",
// "New profile" and "Update available", separated by thin vertical lines.
// The first two open their menus; the third reports its click.
class TStatusBarLinks : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 23;
    static constexpr int kMaximizedHeight = 31;

    explicit TStatusBarLinks(QWidget* parent = nullptr);
    ~TStatusBarLinks() override;

    void SetTexts(const QString& settings, const QString& newProfile, const QString& updateAvailable);
    // The menus that "Settings" and "New profile" open.
    void SetMenus(QMenu* settings, QMenu* newProfile);
    // Shows or hides the update link (and its separator).
    void SetUpdateVisible(bool visible);
    void SetMaximized(bool maximized);

    TLumo_Link* SettingsLink() const;
    TLumo_Link* NewProfileLink() const;
    TLumo_Link* UpdateLink() const;

signals:
    void updateClicked();

private:
    TLinkHost* NewLink(const char* objectName);

    std::unique_ptr<TProgramLinkStyle> fStyle;
    TLinkHost* fSettings;
    TLinkHost* fNewProfile;
    TLinkHost* fUpdate;
    QWidget* fUpdateSeparator;
};
