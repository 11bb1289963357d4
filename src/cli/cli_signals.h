#pragma once

#include <atomic>

// Catches SIGINT and SIGTERM for the life of the object: the handler only
// sets the flag, which the waiting loop polls. The previous handlers come back
// at the end.
class TStopSignals {
public:
    TStopSignals();
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    const std::atomic<bool>& Requested() const;
};
