#include "resources/ProgramIdentity.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QSet>

#include <gtest/gtest.h>

namespace vorlo::identity {
namespace {

TEST(Identity, QtKnowsTheProgramsNameMakerVersionAndIcon)
{
    ApplyToApplication();
    EXPECT_EQ(QApplication::applicationName(), "Vorlo Player");
    EXPECT_EQ(QApplication::organizationName(), "Vorlo Productions");
    EXPECT_EQ(QApplication::applicationVersion(), "1.00");
    EXPECT_EQ(QGuiApplication::desktopFileName(), "vorlo-player");
    EXPECT_EQ(QApplication::windowIcon().availableSizes(), (QList<QSize>{{32, 32}, {48, 48}, {64, 64}}));
}

// Each image of the icon file: 256 colours at most, every pixel either opaque or
// transparent, the corners and the centre hole transparent, the disc's surface opaque.
TEST(Identity, TheIconFileHoldsThreeDiscsOfAtMost256ColoursWithAMask)
{
    QImageReader reader(QString::fromLatin1(kIconFileResource));
    ASSERT_EQ(reader.imageCount(), 3);
    for (const int size : {32, 48, 64}) {
        SCOPED_TRACE(size);
        const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(size, size));
        QSet<QRgb> colours;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                const QRgb pixel = image.pixel(x, y);
                ASSERT_TRUE(qAlpha(pixel) == 0 || qAlpha(pixel) == 255) << x << ',' << y;
                colours.insert(pixel);
            }
        }
        EXPECT_LE(colours.size(), 256);
        EXPECT_GT(colours.size(), 16);  // shaded, not flat
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size - 1, size - 1)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 2, size / 2)), 0);
        EXPECT_EQ(qAlpha(image.pixel(size / 4, size / 2)), 255);
        reader.jumpToNextImage();
    }
}

} // namespace
} // namespace vorlo::identity
