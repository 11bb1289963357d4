#include "folderzip/folderzip_scan.h"
#include "folderzip/folderzip_task.h"
#include "util/string_lists.h"

void TLumo_FolderZip::GetItems(const TSourceScan& scan, const std::optional<QStringList>& nOnlyElements) {
    if (nOnlyElements) {
        for (const QString& name : *nOnlyElements)
            if (TFolderZipElement* element = FindElement(name)) {
                element->pError = false;
                element->pZipState = TLumo_FileStatus::flsNone;
            }
    } else {
        for (const auto& element : fElements) {
            element->pError = false;
            element->pZipState = TLumo_FileStatus::flsNone;
        }
    }

    const QStringList excluded = UpperCased(fFolderExcludeList);
    const auto isExcluded = [&excluded](const auto& element) { return excluded.contains(element->pFolder.toUpper()); };
    std::vector<TFolderZipElement*> dropped;
    for (const auto& element : fElements)
        if (isExcluded(element))
            dropped.push_back(element.get());
    RemoveRows(dropped);
    std::erase_if(fElements, isExcluded);

    std::vector<TFolderZipElement*> joined;

    for (const TSubfolderState& found : scan.Folders) {
        TFolderZipElement* element = FindElement(found.Name);
        if (!element) {
            auto fresh = std::make_unique<TFolderZipElement>();
            fresh->pFolder = found.Name;
            element = fresh.get();
            joined.push_back(element);
            fElements.push_back(std::move(fresh));
        }
        // A subfolder that could not be read completely is not known to be
        // unchanged: the run tries it and reports why it could not.
        element->pZipState =
            !found.Error.isEmpty() ||
                    SubfolderChanged(element->pDateModified, element->pFileCount, element->pTotalSize, found)
                ? TLumo_FileStatus::flsModified
                : TLumo_FileStatus::flsOk;
        element->pNewDateModified = found.Newest;
        element->pNewFileCount = found.FileCount;
        element->pNewTotalSize = found.TotalSize;
    }

    // Absence is proven only by a complete listing: after a failed or stopped
    // one, nothing is taken for gone.
    if (!nOnlyElements && scan.Error.isEmpty() && !scan.Stopped)
        for (const auto& element : fElements)
            if (element->pZipState == TLumo_FileStatus::flsNone)
                element->pZipState = TLumo_FileStatus::flsToDelete;
    // The rows listed before change (RebuildText shows them), then the new
    // ones join with their state and text.
    RebuildText();
    AddRows(joined);
}
