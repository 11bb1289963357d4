#pragma once

#include <QHashFunctions>
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

inline size_t qHash(const TSaveTask& task, size_t seed = 0) noexcept {
    return qHashMulti(seed, static_cast<int>(task.fType), task.fUID);
}
