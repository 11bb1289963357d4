// Every image of the program is drawn, at 100% and at 200%, at full resolution.

#include "gui/images/image_list.h"
#include "gui/images/program_images.h"

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// Share of pixels that are not fully transparent.
double CoveredShare(const QImage& image) {
    int covered = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                ++covered;
        }
    }
    return double(covered) / (image.width() * image.height());
}

int DistinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    }
    return colours.size();
}

} // namespace

TEST(ProgramImages, EveryImageIsDrawnAtOneAndTwoTimes) {
    for (EProgramImage image : kAllProgramImages) {
        SCOPED_TRACE(ProgramImageResource(image).toStdString());
        EXPECT_FALSE(ProgramImageSvg(image).isEmpty());
        for (qreal ratio : {1.0, 2.0}) {
            const QPixmap pixmap = ProgramPixmap(image, 32, ratio);
            ASSERT_FALSE(pixmap.isNull());
            // Drawn at the device size, not scaled up from a small picture.
            EXPECT_EQ(pixmap.size(), QSize(32, 32) * ratio);
            EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), ratio);
            const QImage rendered = pixmap.toImage();
            EXPECT_GT(CoveredShare(rendered), 0.3);
            // A symbol on a ground: more than one flat colour.
            EXPECT_GT(DistinctColours(rendered), 2);
        }
    }
}

TEST(ProgramImages, ActiveVariantsAndAnimationFramesDiffer) {
    const auto differs = [](EProgramImage a, EProgramImage b) {
        return ProgramPixmap(a, 24).toImage() != ProgramPixmap(b, 24).toImage();
    };
    EXPECT_TRUE(differs(EProgramImage::ActionStart, EProgramImage::ActionStartActive));
    EXPECT_TRUE(differs(EProgramImage::ActionWait, EProgramImage::ActionWaitActive));
    EXPECT_TRUE(differs(EProgramImage::ActionStop, EProgramImage::ActionStopActive));
    for (int frame = 0; frame < kTrayFrameCount; ++frame)
        EXPECT_TRUE(differs(TrayFrame(frame), TrayFrame(frame + 1))) << frame;
    EXPECT_EQ(TrayFrame(kTrayFrameCount), TrayFrame(0));
}

TEST(ProgramImages, ImageListFindsImagesByNameAndIndex) {
    TLumoImageList list(32, 32);
    const int info = list.Add(QStringLiteral("Notification_Info"), EProgramImage::NotificationInfo, 2.0);
    const int update = list.Add(QStringLiteral("Notification_Update"), EProgramImage::NotificationUpdate, 2.0);
    EXPECT_EQ(list.IndexOf(QStringLiteral("Notification_Update")), update);
    EXPECT_EQ(list.IndexOf(QStringLiteral("Missing")), -1);
    EXPECT_EQ(list.Pixmap(info).size(), QSize(64, 64));
    EXPECT_TRUE(list.Pixmap(list.Count()).isNull());
}

TEST(ProgramImages, EditButtonIconsComeFromTheirSvgFiles) {
    const QIcon paste = ProgramSvgIcon(QStringLiteral("edit_paste"));
    ASSERT_FALSE(paste.isNull());
    EXPECT_GT(CoveredShare(paste.pixmap(16, 16).toImage()), 0.3);
    EXPECT_TRUE(ProgramSvgIcon(QStringLiteral("no_such_picture")).isNull());
}
