#pragma once

#include <functional>

// Workers hand everything that touches shared state or the display to the
// main thread through these helpers.

// True on the thread that runs the application's event loop.
bool IsMainThread();

// Runs work on the main thread and returns when it has run: directly when
// called on the main thread, otherwise as a blocking queued call. The main
// thread must never wait for a worker in a way that stops it serving these
// calls (see ServeMainThreadWhile).
void RunOnMainThread(const std::function<void()>& work);

// Serves the main thread's event queue (and so the workers' synchronous calls)
// while busy() holds, checking the condition at least every 5 ms.
void ServeMainThreadWhile(const std::function<bool()>& busy);
