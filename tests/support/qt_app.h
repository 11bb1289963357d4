#pragma once

// Makes sure a QCoreApplication exists. The test executables' own entry point
// creates one; programs such as the benchmarks call this instead.
void EnsureQtApp();
