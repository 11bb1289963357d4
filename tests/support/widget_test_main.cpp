// The entry point of every widget test executable: one QApplication for the
// whole run (offscreen in CI), so windows can be built in any test.

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
