#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QWidget;

// File, folder and volume pickers. They use the desktop's own dialogs where
// the platform theme offers them (GTK, KDE, the portal) and Qt's built-in
// dialogs otherwise. Filter lines are "display text|mask; mask".

// A folder, with the path separator appended; empty when cancelled.
QString ChooseFolder(const QString& startFolder, QWidget* parent = nullptr);
// One file to open or (save) to write; empty when cancelled.
QString ChooseFile(const QString& startPath, const QStringList& filterLines, bool save, QWidget* parent = nullptr);
// Several files to open, each handed to receiver in order.
void ChooseFiles(const QString& startPath, const QStringList& filterLines,
                 const std::function<void(const QString&)>& receiver, QWidget* parent = nullptr);

// A mounted volume as the drive fields show it.
struct TVolumeChoice {
    QString MountPoint; // ends with the path separator
    QString Label;      // the file system label; empty when it has none
    QString ID;         // the drive identifier; empty when the volume has none
};
// The mounted volumes that carry a drive identifier, in mount table order.
std::vector<TVolumeChoice> VolumesWithIDs();
// Asks for one of them; nothing chosen gives an empty MountPoint.
TVolumeChoice ChooseVolume(QWidget* parent = nullptr);

// The Qt filter string of filter lines ("All files|*.*" gives "All files (*)").
QString QtFileFilter(const QStringList& filterLines);
// The default suffix of a save dialog: the part of the first line's first mask
// after its last "."; empty for "*" or a mask without ".".
QString DefaultSuffixOf(const QStringList& filterLines);

// What a picker was asked, for the answers a test gives instead of a person.
enum class TPickerKind { Folder, OpenFile, SaveFile, OpenFiles, Volume };
struct TPickerRequest {
    TPickerKind Kind;
    QString StartPath;
    QStringList FilterLines;
};
// While one lives, every picker returns what answer gives (the paths chosen,
// none for cancel; a volume answer is its mount point, optionally followed by
// the identifier and the label it is to have) without showing a dialog.
class TScopedPickerAnswers {
public:
    using TAnswer = std::function<QStringList(const TPickerRequest&)>;
    explicit TScopedPickerAnswers(TAnswer answer);
    ~TScopedPickerAnswers();
    TScopedPickerAnswers(const TScopedPickerAnswers&) = delete;
    TScopedPickerAnswers& operator=(const TScopedPickerAnswers&) = delete;

private:
    TAnswer fPrevious;
};
