// The entry point of every test executable: one QCoreApplication for the
// whole run, so engine objects with timers and threads can be built anywhere,
// including in fixture members.

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
