#pragma once

// Makes sure a QCoreApplication exists for tests that need an event loop
// (save passes, timers). Created once, kept for the life of the test process.
void EnsureQtApp();
