#pragma once

// Enumerations shared by every engine. Their ordinals are kept in memory only.

enum class TBackupClass { bcSync, bcZip, bcFolderZip, bcNone };

// Queue state of a profile and of a queued run.
enum class TTaskStatus { tsNone, tsQueue, tsRun };

// What a task object is doing now.
enum class TLumo_Operation { fsNone, fsQueue, fsZip, fsDelete, fsScriptBefore, fsScriptAfter, fsAnalys, fsCopy };

// State of one analysed item in a result list.
enum class TLumo_FileStatus { flsNone, flsModified, flsToDelete, flsNew, flsOk, flsActive };

// Last error of a task object.
enum class TLumo_Error {
    feNone,
    feCanceledByUser,
    feFolderCreate,
    feDeleteTarget,
    feArchiving,
    feNoZipFolder,
    feCleanFolder,
    feNoDisk,
    feSourceFilesFolder,
    feSourceElements,
    feCopy,
    feDelete,
    feOverlappingFolders,
    feRootExcluded,
    feFolderNotListed,
    feArchiveNameTooLong,
    feLeftOut
};
