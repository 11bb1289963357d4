#pragma once

#include <QString>

// A request to the settings writer; the ordinal has no meaning on disk.
enum class TSaveSetType {
    stNone,
    stMain,
    stListPos,
    stCrone,
    stProfileScripts,
    stProfile,
    stExclude,
    stFullProfile,
    stDelProfile,
    stZipFileversion
};

struct TSaveTask {
    TSaveSetType fType = TSaveSetType::stMain;
    QString fUID;
    bool operator==(const TSaveTask&) const = default;
};
