#pragma once

#include "sync/sync_file_element.h"

#include <QElapsedTimer>

#include <memory>
#include <vector>

class TLumo_Sync;

// Collects a run's row and progress updates on the worker and hands them to
// the main thread in batches, at most every few tens of milliseconds, in the
// order they were made. A run over many small files would otherwise spend its
// time waiting for the main thread. The worker does not wait for a batch;
// anything that must be seen in order with a batch (a status change, the end
// of the run) goes through the same main-thread queue after Flush.
class TSyncUiBatch {
public:
    explicit TSyncUiBatch(TLumo_Sync& task) : fTask(task) { fSinceFlush.start(); }
    ~TSyncUiBatch() { Flush(); }
    TSyncUiBatch(const TSyncUiBatch&) = delete;
    TSyncUiBatch& operator=(const TSyncUiBatch&) = delete;

    // Appends the entry to the task object's result list and shows it.
    void AddResult(std::unique_ptr<TSyncFileElement> element);
    // Removes a listed entry's row, takes it out of the result list and releases it.
    void RemoveRow(TSyncFileElement& element);
    void RefreshRow(TSyncFileElement& element);
    // Publishes both progress values (and refreshes the row of now, when set).
    void Progress(quint8 progress, quint8 progressFull, TSyncFileElement* now);

    // Sends what is pending now.
    void Flush();

private:
    struct TOp {
        enum class TKind { Add, Remove, Refresh, Progress } kind;
        TSyncFileElement* element = nullptr;
        std::unique_ptr<TSyncFileElement> owned;
        quint8 progress = 0;
        quint8 progressFull = 0;
    };
    void Push(TOp op);
    static void Apply(TLumo_Sync& task, std::vector<TOp>& ops);

    TLumo_Sync& fTask;
    std::vector<TOp> fOps;
    QElapsedTimer fSinceFlush;
};
