#include "cli/cli_signals.h"

#include <csignal>

namespace {

std::atomic<bool> gStopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnStopSignal(int) { gStopRequested.store(true); }

struct sigaction gOldInt, gOldTerm;

} // namespace

TStopSignals::TStopSignals() {
    gStopRequested.store(false);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &gOldInt);
    sigaction(SIGTERM, &action, &gOldTerm);
}

TStopSignals::~TStopSignals() {
    sigaction(SIGINT, &gOldInt, nullptr);
    sigaction(SIGTERM, &gOldTerm, nullptr);
}

const std::atomic<bool>& TStopSignals::Requested() const { return gStopRequested; }
