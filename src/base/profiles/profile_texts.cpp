#include "profiles/profile_texts.h"

#include "lang/language.h"

QString OperationText(TLumo_Operation operation) {
    switch (operation) {
    case TLumo_Operation::fsNone: return LngText(Lng::lng_Global_StatusWait);
    case TLumo_Operation::fsQueue: return LngText(Lng::lng_Global_StatusQueue);
    case TLumo_Operation::fsZip: return LngText(Lng::lng_Global_StatusArchive);
    case TLumo_Operation::fsDelete: return LngText(Lng::lng_Global_StatusDelete);
    case TLumo_Operation::fsScriptBefore: return LngText(Lng::lng_MF_txtStatusScriptBefore);
    case TLumo_Operation::fsScriptAfter: return LngText(Lng::lng_MF_txtStatusScriptAfter);
    case TLumo_Operation::fsAnalys: return LngText(Lng::lng_Global_StatusAnalysis);
    case TLumo_Operation::fsCopy: return LngText(Lng::lng_Global_StatusCopy);
    }
    return {};
}

QString FileStatusText(TLumo_FileStatus status) {
    switch (status) {
    case TLumo_FileStatus::flsNone: return LngText(Lng::lng_FileStatus_None);
    case TLumo_FileStatus::flsModified: return LngText(Lng::lng_FileStatus_Modified);
    case TLumo_FileStatus::flsToDelete: return LngText(Lng::lng_FileStatus_Deleted);
    case TLumo_FileStatus::flsNew: return LngText(Lng::lng_FileStatus_New);
    case TLumo_FileStatus::flsOk:
    case TLumo_FileStatus::flsActive: return LngText(Lng::lng_FileStatus_Ok);
    }
    return {};
}

namespace {

Lng ErrorKey(TLumo_Error error) {
    switch (error) {
    case TLumo_Error::feCanceledByUser: return Lng::lng_Global_ErrStCanceledByUser;
    case TLumo_Error::feFolderCreate: return Lng::lng_Global_ErrStCreateFolder;
    case TLumo_Error::feDeleteTarget: return Lng::lng_Global_ErrStDeleteTarget;
    case TLumo_Error::feArchiving: return Lng::lng_Global_ErrStArchiving;
    case TLumo_Error::feNoZipFolder: return Lng::lng_Global_ErrStNoZipFolder;
    case TLumo_Error::feCleanFolder: return Lng::lng_Global_ErrStCleanFolder;
    case TLumo_Error::feNoDisk: return Lng::lng_Global_ErrStNoDisk;
    case TLumo_Error::feSourceFilesFolder: return Lng::lng_Global_ErrStNoSourceFolder;
    case TLumo_Error::feSourceElements: return Lng::lng_Global_ErrStNoSource;
    case TLumo_Error::feCopy: return Lng::lng_Global_ErrStCopy;
    case TLumo_Error::feOverlappingFolders: return Lng::lng_Global_ErrStOverlappingFolders;
    case TLumo_Error::feRootExcluded: return Lng::lng_Global_ErrStRootExcluded;
    case TLumo_Error::feFolderNotListed: return Lng::lng_Global_ErrStFolderNotListed;
    case TLumo_Error::feArchiveNameTooLong: return Lng::lng_Global_ErrStArchiveNameTooLong;
    case TLumo_Error::feLeftOut: return Lng::lng_Global_ErrStLeftOut;
    case TLumo_Error::feDelete:
    case TLumo_Error::feNone: break;
    }
    return Lng::lng_Global_ErrStDelete;
}

} // namespace

QString ErrorText(const QString& format, TLumo_Error error) {
    if (error == TLumo_Error::feNone)
        return {};
    QString text = format;
    const qsizetype at = text.indexOf(QLatin1String("%s"));
    const QString message = LngText(ErrorKey(error));
    return at < 0 ? text : text.replace(at, 2, message);
}
