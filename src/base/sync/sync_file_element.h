#pragma once

#include "profiles/enums.h"
#include "util/date_time.h"

#include <QString>

#include <list>
#include <memory>

class TSyncElement;

// One entry found on either side of a folder pair by a sync analysis.
class TSyncFileElement {
public:
    qint32 Attr = 0;
    TDateTime CreateTime = 0;   // UTC
    bool IsFolder = false;
    // The resolved folder of the entry's side (ending with the separator);
    // shared by all entries of that side, so only SepPath is stored per entry.
    QString Root;
    QString SepPath;            // relative to Root
    qint64 Size = 0;            // 0 for folders
    TDateTime ModifiedTime = 0; // UTC
    qint64 ModifiedNs = 0;      // the same instant exactly, nanoseconds since 1970 UTC
    TLumo_FileStatus Status = TLumo_FileStatus::flsNone;
    // The folder pair of the run that found the entry; only the run's own
    // entries carry it, not the result list's copies (they outlive the run).
    TSyncElement* SyncEl = nullptr;
    bool Error = false;
    qint32 IconIndex = -2;
    bool ResultDisabled = false;
    qint32 ListIndex = 0;
    // The entry's number in its run, by which the run names the result list's copy.
    quint32 ResultId = 0;

    QString FullPath() const { return Root + SepPath; }

private:
    friend class TSyncResultList;
    std::list<std::unique_ptr<TSyncFileElement>>::iterator fResultPos;
    bool fInResult = false;
};

// The entries of the last analysis not yet done, in the order found. Entries
// leave it one at a time as they are done, so removal is constant time.
class TSyncResultList {
public:
    using TStore = std::list<std::unique_ptr<TSyncFileElement>>;

    TSyncResultList() = default;
    TSyncResultList(const TSyncResultList&) = delete;
    TSyncResultList& operator=(const TSyncResultList&) = delete;

    TSyncFileElement& Append(std::unique_ptr<TSyncFileElement> element) {
        TSyncFileElement& ref = *element;
        fStore.push_back(std::move(element));
        ref.fResultPos = std::prev(fStore.end());
        ref.fInResult = true;
        return ref;
    }
    // Takes the entry out of the list and hands it back to the caller.
    std::unique_ptr<TSyncFileElement> Take(TSyncFileElement& element) {
        if (!element.fInResult)
            return nullptr;
        std::unique_ptr<TSyncFileElement> owned = std::move(*element.fResultPos);
        fStore.erase(element.fResultPos);
        owned->fInResult = false;
        return owned;
    }
    static bool Contains(const TSyncFileElement& element) { return element.fInResult; }
    void Clear() { fStore.clear(); }

    std::size_t size() const { return fStore.size(); }
    bool empty() const { return fStore.empty(); }
    TStore::const_iterator begin() const { return fStore.begin(); }
    TStore::const_iterator end() const { return fStore.end(); }

private:
    TStore fStore;
};
