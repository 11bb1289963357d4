// The entry point of the test executables that need no Qt (the platform layer
// and the archive writer, also built for Windows).

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
