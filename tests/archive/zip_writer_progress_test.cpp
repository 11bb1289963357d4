#include "archive_test_support.h"

#include <gtest/gtest.h>

using namespace archive_test;

namespace {

struct Event {
    std::string file;
    double fileProgress;
    double overall;
    TZWProgressPhase phase;
};

std::vector<Event> Record(const TempFolder& dir, int level) {
    std::vector<Event> events;
    TZipWriter writer;
    ConfigureAsEngines(writer, dir / "a.zip", dir / "src/", level);
    writer.FileMasks() = {"*.*"};
    writer.OnFileProgress = [&](TZipWriterBase&, const std::string& file, double progress, TZWProcessOperation op,
                                TZWProgressPhase phase, bool&) {
        EXPECT_EQ(op, TZWProcessOperation::poAdd);
        events.push_back({file, progress, -1, phase});
    };
    writer.OnOverallProgress = [&](TZipWriterBase&, double progress, TZWProcessOperation, TZWProgressPhase phase,
                                   bool&) {
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().phase, phase);
        events.back().overall = progress;
    };
    WriteArchive(writer);
    return events;
}

} // namespace

TEST(ZipWriterProgress, ReportsEveryChunkAndReachesTheEnd) {
    TempFolder dir;
    // Level 1 reads 512 KiB chunks: 3 chunks for the first file.
    WriteFile(dir / "src/a.bin", RandomBytes(1'200'000, 1));
    WriteFile(dir / "src/b.txt", std::string(300'000, 'b'));
    const std::vector<Event> events = Record(dir, 1);

    int chunksOfA = 0;
    double lastOverall = 0;
    for (const Event& e : events) {
        EXPECT_GE(e.overall, lastOverall);
        lastOverall = e.overall;
        if (e.file == dir / "src/a.bin" && e.phase == TZWProgressPhase::ppProcess)
            ++chunksOfA;
    }
    EXPECT_EQ(chunksOfA, 3);
    ASSERT_FALSE(events.empty());
    EXPECT_DOUBLE_EQ(events.back().overall, 100.0);
    EXPECT_DOUBLE_EQ(events.back().fileProgress, 100.0);
    // After the first file, the overall share is its size over the total.
    for (const Event& e : events) {
        if (e.file == dir / "src/a.bin" && e.phase == TZWProgressPhase::ppEnd) {
            EXPECT_NEAR(e.overall, 100.0 * 1'200'000 / 1'500'000, 1e-9);
        }
    }
}

TEST(ZipWriterProgress, EmptyTotalReportsFifty) {
    TempFolder dir;
    WriteFile(dir / "src/empty1", "");
    WriteFile(dir / "src/empty2", "");
    const std::vector<Event> events = Record(dir, 6);
    ASSERT_FALSE(events.empty());
    for (const Event& e : events)
        EXPECT_DOUBLE_EQ(e.overall, 50.0);
}
