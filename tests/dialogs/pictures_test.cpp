#include "dialogs/pictures.h"
#include "support/test_program.h"

#include <QImage>
#include <gtest/gtest.h>

#include <algorithm>

namespace {
struct PictureCase {
    const char* name;
    QPixmap (*draw)(QSize);
    QSize size;
    bool fillsItsFrame;
};

// The sizes the windows show them at.
const PictureCase kPictures[] = {
    {"flat bar", flatBarPicture, {41, 12}, false},
    {"scroll and quill", scrollQuillPicture, {25, 25}, false},
    {"scroll and quill, chooser", scrollQuillPicture, {21, 20}, false},
    {"open folder", openFolderPicture, {17, 17}, false},
    {"open folder, chooser", openFolderPicture, {14, 13}, false},
    {"floppy", floppyPicture, {17, 17}, false},
    {"floppy, chooser", floppyPicture, {13, 14}, false},
    {"play triangle", playTrianglePicture, {17, 10}, false},
    {"up triangle", upTrianglePicture, {17, 7}, false},
    {"down triangle", downTrianglePicture, {17, 7}, false},
    {"hourglass", hourglassPicture, {15, 21}, false},
    {"heading", aboutHeadingPicture, {140, 66}, false},
    {"clouds", cloudsPicture, {328, 208}, true},
};
}  // namespace

TEST(PicturesTest, EveryPictureIsDrawnAtItsSizeAndShowsSomething)
{
    ensureApplication();
    for (const PictureCase& c : kPictures) {
        SCOPED_TRACE(c.name);
        const QPixmap pm = c.draw(c.size);
        ASSERT_FALSE(pm.isNull());
        EXPECT_EQ(pm.size(), c.size);
        const QImage img = pm.toImage().convertToFormat(QImage::Format_ARGB32);
        const auto* pixels = reinterpret_cast<const QRgb*>(img.constBits());  // no padding at 4 bytes a pixel
        const qsizetype all = qsizetype(img.width()) * img.height();
        const qsizetype opaque = std::count_if(pixels, pixels + all, [](QRgb c) { return qAlpha(c) == 255; });
        const qsizetype seeThrough = all - opaque;
        EXPECT_GT(opaque, 0);
        // Button pictures must let the button show around the subject; the sky covers all.
        if (c.fillsItsFrame) EXPECT_EQ(seeThrough, 0);
        else EXPECT_GT(seeThrough, 0);
    }
    EXPECT_TRUE(cloudsPicture(QSize()).isNull());
}
