#pragma once

#include <functional>

class QObject;

// Workers hand everything that touches shared state or the display to the
// main thread through these helpers.

// True on the thread that runs the application's event loop.
bool IsMainThread();

// Runs work on the main thread and returns when it has run: directly when
// called on the main thread, otherwise as a queued call that it waits for. The main
// thread must never wait for a worker in a way that stops it serving these
// calls (see ServeMainThreadWhile).
void RunOnMainThread(const std::function<void()>& work);

// Queues work for the main thread and returns at once: directly when called
// on the main thread. Calls queued by one thread run in the order queued,
// before a later RunOnMainThread of that thread. With a receiver (an object
// of the main thread), the call is dropped if the receiver is deleted first.
void PostToMainThread(std::function<void()> work, QObject* receiver = nullptr);

// Serves the main thread's event queue (and so the workers' synchronous calls)
// while busy() holds, checking the condition at least every 5 ms.
void ServeMainThreadWhile(const std::function<bool()>& busy);
