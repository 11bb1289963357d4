#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// A source and a storage folder chosen together (sync folder pairs). Apply
// refuses an empty or relative field, equal folders and one folder inside the
// other; both come back with the path separator appended.
class tFrmTwoFolderChoose : public QDialog {
    Q_OBJECT
public:
    explicit tFrmTwoFolderChoose(QWidget* parent = nullptr);

    void SetFolders(const QString& source, const QString& storage);
    QString SourceFolder() const { return fSource; }
    QString StorageFolder() const { return fStorage; }

    QLineEdit* SourceEdit() const { return edtSource; }
    QLineEdit* StorageEdit() const { return edtStorage; }
    QPushButton* ApplyButton() const { return btnApply; }

    void SetLanguageToForm();

protected:
    void changeEvent(QEvent* event) override;

private:
    void btnApplyClick();
    bool Refuse(const QString& text, QLineEdit* field);

    QLabel* lblSource;
    QLabel* lblStorage;
    QLineEdit* edtSource;
    QLineEdit* edtStorage;
    QPushButton* btnApply;
    QPushButton* btnCancel;
    QString fSource;
    QString fStorage;
};

// The two folders, or two empty texts when cancelled.
struct TFolderPair {
    QString Source;
    QString Storage;
};
TFolderPair ChooseTwoFolders(const QString& source, const QString& storage, QWidget* parent = nullptr);
