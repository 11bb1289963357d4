#include "gui/util/pickers.h"

#include "lang/language.h"
#include "os/volumes.h"
#include "util/path_delim.h"
#include "util/string_lists.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QVBoxLayout>

namespace {

TScopedPickerAnswers::TAnswer& PickerAnswer() {
    static TScopedPickerAnswers::TAnswer answer;
    return answer;
}

std::optional<QStringList> Answered(TPickerKind kind, const QString& startPath, const QStringList& filterLines) {
    if (!PickerAnswer())
        return std::nullopt;
    return PickerAnswer()(TPickerRequest{kind, startPath, filterLines});
}

QStringList MasksOf(const QString& line) {
    const QString masks = line.section(QLatin1Char('|'), 1);
    QStringList result;
    for (QString mask : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        mask = mask.trimmed();
        // "*.*" means every file, also those without an extension.
        if (mask == QLatin1String("*.*"))
            mask = QStringLiteral("*");
        if (!mask.isEmpty())
            result << mask;
    }
    return result;
}

QString StartFolderOf(const QString& startPath) {
    const QFileInfo info(startPath);
    if (info.isDir())
        return startPath;
    return info.absolutePath();
}

} // namespace

TScopedPickerAnswers::TScopedPickerAnswers(TAnswer answer) : fPrevious(std::move(PickerAnswer())) {
    PickerAnswer() = std::move(answer);
}

TScopedPickerAnswers::~TScopedPickerAnswers() { PickerAnswer() = std::move(fPrevious); }

QString QtFileFilter(const QStringList& filterLines) {
    QStringList filters;
    for (const QString& line : filterLines) {
        const QStringList masks = MasksOf(line);
        if (masks.isEmpty())
            continue;
        filters << line.section(QLatin1Char('|'), 0, 0).trimmed() + QStringLiteral(" (") + masks.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString DefaultSuffixOf(const QStringList& filterLines) {
    if (filterLines.isEmpty())
        return {};
    const QStringList masks = MasksOf(filterLines.front());
    if (masks.isEmpty())
        return {};
    const QString& mask = masks.front();
    const qsizetype dot = mask.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return {};
    const QString suffix = mask.mid(dot + 1);
    return suffix == QLatin1String("*") ? QString() : suffix;
}

QString ChooseFolder(const QString& startFolder, QWidget* parent) {
    QString folder;
    if (const auto answer = Answered(TPickerKind::Folder, startFolder, {}))
        folder = answer->value(0);
    else
        folder = QFileDialog::getExistingDirectory(parent, LngText(Lng::lib_lng_Dlg_Title_ChooseFolder),
                                                   QFileInfo::exists(startFolder) ? startFolder : QString());
    return folder.isEmpty() ? QString() : IncludeBackslash(QDir::toNativeSeparators(folder));
}

QString ChooseFile(const QString& startPath, const QStringList& filterLines, bool save, QWidget* parent) {
    if (const auto answer = Answered(save ? TPickerKind::SaveFile : TPickerKind::OpenFile, startPath, filterLines))
        return answer->value(0);
    QFileDialog dialog(parent, LngText(Lng::lib_lng_Dlg_Title_ChooseFile), StartFolderOf(startPath),
                       QtFileFilter(filterLines));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(DefaultSuffixOf(filterLines));
    if (!startPath.isEmpty() && !QFileInfo(startPath).isDir())
        dialog.selectFile(QFileInfo(startPath).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

void ChooseFiles(const QString& startPath, const QStringList& filterLines,
                 const std::function<void(const QString&)>& receiver, QWidget* parent) {
    QStringList files;
    if (const auto answer = Answered(TPickerKind::OpenFiles, startPath, filterLines))
        files = *answer;
    else
        files = QFileDialog::getOpenFileNames(parent, LngText(Lng::lib_lng_Dlg_Title_ChooseFile),
                                              StartFolderOf(startPath), QtFileFilter(filterLines));
    for (const QString& file : files)
        receiver(QDir::toNativeSeparators(file));
}

std::vector<TVolumeChoice> VolumesWithIDs() {
    std::vector<TVolumeChoice> result;
    for (const os::MountedVolume& volume : os::MountedVolumes()) {
        if (volume.id.empty())
            continue;
        TVolumeChoice choice;
        choice.MountPoint = IncludeBackslash(QString::fromStdString(volume.mountPoint));
        choice.ID = QString::fromStdString(volume.id);
        choice.Label = QStorageInfo(choice.MountPoint).name();
        result.push_back(std::move(choice));
    }
    return result;
}

TVolumeChoice ChooseVolume(QWidget* parent) {
    const std::vector<TVolumeChoice> volumes = VolumesWithIDs();
    if (const auto answer = Answered(TPickerKind::Volume, {}, {})) {
        const QString mountPoint = IncludeBackslash(answer->value(0));
        if (answer->size() > 1)
            return TVolumeChoice{mountPoint, answer->value(2), answer->value(1)};
        for (const TVolumeChoice& volume : volumes)
            if (volume.MountPoint == mountPoint)
                return volume;
        return TVolumeChoice{mountPoint, {}, {}};
    }

    QDialog dialog(parent);
    dialog.setWindowTitle(LngText(Lng::lib_lng_Dlg_Title_ChooseDisk));
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    for (const TVolumeChoice& volume : volumes) {
        const QString label = volume.Label.isEmpty() ? QString() : QStringLiteral(" [") + volume.Label + QLatin1Char(']');
        list->addItem(volume.MountPoint + label + QStringLiteral("  -  ") + volume.ID);
    }
    if (volumes.empty()) {
        auto* none = new QListWidgetItem(LngText(Lng::lib_lng_Global_NoDisk), list);
        none->setFlags(Qt::NoItemFlags);
    } else {
        list->setCurrentRow(0);
    }
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* choose = buttons->addButton(LngText(Lng::lib_lng_btn_Select), QDialogButtonBox::AcceptRole);
    buttons->addButton(LngText(Lng::lib_lng_btn_Cancel), QDialogButtonBox::RejectRole);
    choose->setEnabled(!volumes.empty());
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(420, 260);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0 ||
        list->currentRow() >= static_cast<int>(volumes.size()))
        return {};
    return volumes[static_cast<size_t>(list->currentRow())];
}
