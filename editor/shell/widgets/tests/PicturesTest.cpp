// The pictures: the built-in ones, and the optional device picture file.

#include "editor/shell/widgets/Pictures.h"

#include "editor/shell/testing/GuiTestSupport.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace tarvik {
namespace {

using testing::TestFolder;

QByteArray PngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

TEST(PicturesTest, OnlyARealImageReplacesTheBuiltInPicture) {
    TestFolder folder;
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    const QByteArray png = PngOf(red);

    const auto picture = LoadPicture(folder.Write("tarvik3.dat", png));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(40, 30));
    EXPECT_EQ(picture->pixelColor(5, 5), QColor(Qt::red));

    const std::vector<std::pair<const char*, QByteArray>> notPictures = {
        {"text", "this is not a picture\n"},       {"empty", ""},
        {"truncated", png.left(png.size() / 2)},   {"header only", png.left(16)},
        {"binary junk", QByteArray(4096, '\xA5')},
    };
    for (const auto& [what, bytes] : notPictures) {
        EXPECT_FALSE(LoadPicture(folder.Write("tarvik3.dat", bytes))) << what;
    }
    EXPECT_FALSE(LoadPicture(folder.file("missing.dat")));
    EXPECT_FALSE(LoadPicture(folder.path())) << "a folder";
}

TEST(PicturesTest, BuiltInPicturesAreDrawn) {
    const QImage device = DevicePicture();
    EXPECT_FALSE(device.isNull());
    // Something is drawn in the middle of the case, and the corners stay transparent.
    EXPECT_EQ(device.pixelColor(device.width() / 2, device.height() / 2).alpha(), 255);
    EXPECT_EQ(device.pixelColor(0, device.height() - 1).alpha(), 0);
    for (const int size : {16, 48, 256}) {
        const QImage icon = ApplicationIcon(size);
        EXPECT_EQ(icon.size(), QSize(size, size));
        EXPECT_EQ(icon.pixelColor(size / 2, size / 2).alpha(), 255);
    }
}

} // namespace
} // namespace tarvik
