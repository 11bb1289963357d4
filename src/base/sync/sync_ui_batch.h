#pragma once

#include "profiles/enums.h"
#include "sync/sync_file_element.h"

#include <QElapsedTimer>
#include <QHash>

#include <memory>
#include <vector>

class TLumo_Sync;

// Collects a run's row and progress updates on the worker and hands them to
// the main thread in batches, at most every few tens of milliseconds, in the
// order they were made. A run over many small files would otherwise spend its
// time waiting for the main thread. The worker does not wait for a batch;
// anything that must be seen in order with a batch (a status change, the end
// of the run) goes through the same main-thread queue after Flush.
//
// The result list gets copies: the worker keeps its entries and goes on
// changing them, and each later update names the copy by the entry's number
// (ResultId) and carries the changed values.
class TSyncUiBatch {
public:
    explicit TSyncUiBatch(TLumo_Sync& task);
    ~TSyncUiBatch() { Flush(); }
    TSyncUiBatch(const TSyncUiBatch&) = delete;
    TSyncUiBatch& operator=(const TSyncUiBatch&) = delete;

    // Numbers the worker's entry and appends a copy of it to the task
    // object's result list, where it is shown.
    void AddResult(TSyncFileElement& element);
    // Removes the copy of a listed entry: its row goes and it is released.
    void RemoveRow(const TSyncFileElement& element);
    // Gives the copy the entry's current status and error mark and shows it.
    void RefreshRow(const TSyncFileElement& element);
    // Publishes both progress values (and refreshes the row of now, when set).
    void Progress(quint8 progress, quint8 progressFull, const TSyncFileElement* now);

    // Sends what is pending now.
    void Flush();

private:
    struct TOp {
        enum class TKind { Add, Remove, Refresh, Progress } kind;
        quint32 id = 0; // ResultId of the entry; 0: none
        std::unique_ptr<TSyncFileElement> copy;
        TLumo_FileStatus status = TLumo_FileStatus::flsNone;
        bool error = false;
        quint8 progress = 0;
        quint8 progressFull = 0;
    };
    // The result list's copies of this run's entries by number: main thread only.
    using TListed = QHash<quint32, TSyncFileElement*>;
    void Push(TOp op);
    static void Apply(TLumo_Sync& task, TListed& listed, std::vector<TOp>& ops);

    TLumo_Sync& fTask;
    std::shared_ptr<TListed> fListed;
    quint32 fLastId = 0;
    std::vector<TOp> fOps;
    QElapsedTimer fSinceFlush;
};
