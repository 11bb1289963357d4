#include "app/instance_record.h"

#include <gtest/gtest.h>

namespace {

using Status = TInstanceRecordReader::Status;

TEST(InstanceRecord, RoundTripsAcrossAnySplitOfTheBytes) {
    const TInstanceRecord sent{3, QString("/SNK1 /ABORTALL Привет ").toUtf8()};
    const QByteArray bytes = EncodeInstanceRecord(sent) + EncodeInstanceRecord({2, {}});
    for (qsizetype cut = 0; cut <= bytes.size(); ++cut) {
        TInstanceRecordReader reader;
        reader.Feed(bytes.left(cut));
        TInstanceRecord got;
        Status status = reader.Next(got);
        if (status == Status::NeedMore) {
            reader.Feed(bytes.mid(cut));
            status = reader.Next(got);
        } else {
            reader.Feed(bytes.mid(cut));
        }
        ASSERT_EQ(status, Status::Complete) << cut;
        EXPECT_EQ(got.Kind, 3u);
        EXPECT_EQ(got.Text, sent.Text);
        ASSERT_EQ(reader.Next(got), Status::Complete);
        EXPECT_EQ(got.Kind, 2u);
        EXPECT_TRUE(got.Text.isEmpty());
        EXPECT_EQ(reader.Next(got), Status::NeedMore);
    }
}

TEST(InstanceRecord, MalformedRecordsAreRefused) {
    const QByteArray head3("\x00\x00\x00\x03", 4);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"size zero", head3 + QByteArray("\x00\x00\x00\x00", 4)},
        {"size beyond the limit", head3 + QByteArray("\x00\x10\x00\x01", 4) + "x"},
        {"no closing zero", head3 + QByteArray("\x00\x00\x00\x02", 4) + "ab"},
        {"zero inside", head3 + QByteArray("\x00\x00\x00\x04", 4) + QByteArray("a\0b\0", 4)},
        {"not UTF-8", head3 + QByteArray("\x00\x00\x00\x03", 4) + QByteArray("\xC3\x28\0", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TInstanceRecordReader reader;
        reader.Feed(c.bytes);
        TInstanceRecord got;
        EXPECT_EQ(reader.Next(got), Status::Malformed);
    }
}

} // namespace
