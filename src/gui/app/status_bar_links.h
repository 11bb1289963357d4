#pragma once

#include <QWidget>

class QLabel;

// The strip below the main window's list: right-aligned links "Settings",
// "New profile" and "Update available", separated by thin vertical lines.
// Plain label links stand in for the program's own link control for now.
class TStatusBarLinks : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 23;
    static constexpr int kMaximizedHeight = 31;

    explicit TStatusBarLinks(QWidget* parent = nullptr);

    void SetTexts(const QString& settings, const QString& newProfile, const QString& updateAvailable);
    // Shows or hides the update link (and its separator).
    void SetUpdateVisible(bool visible);
    void SetMaximized(bool maximized);

    QLabel* SettingsLink() const { return fSettings; }
    QLabel* NewProfileLink() const { return fNewProfile; }
    QLabel* UpdateLink() const { return fUpdate; }

signals:
    void settingsClicked();
    void newProfileClicked();
    void updateClicked();

private:
    QLabel* MakeLink(void (TStatusBarLinks::*clicked)());

    QLabel* fSettings;
    QLabel* fNewProfile;
    QLabel* fUpdate;
    QWidget* fUpdateSeparator;
};
