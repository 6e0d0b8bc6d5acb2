// The map view into enhanced and Windows metafiles and onto the clipboard.
#include "mapdoc/DrelView.h"

#include "platform/MetaFile.h"
#include "platform/MetaFileDC.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {


COLORREF PixelOf(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

QImage Played(const CMetaFile& file, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(128, 128, 128));
    CDC dc(image);
    EXPECT_TRUE(file.Play(dc, CRect(0, 0, width, height)));
    return image;
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        // 400 x 200 pixels of the view show 4000 x 2000 metres: the left
        // half green, the right half red.
        MakeTwoHalvesMap(doc, view, CMapRect(0, 2000, 4000, 0), CMapRect(0, 2000, 4000, 0), 2000);
        view.SetWindow(&window);
        view.OnSize(400, 200);
        view.ZoomToRect(CMapRect(0, 2000, 4000, 0), 0);
    }

    // The map drawn straight into a picture as an export draws it.
    QImage Direct(const CMapRect* extent, double denominator, CSize size)
    {
        QImage image(size.cx, size.cy, QImage::Format_RGB32);
        image.fill(Qt::white);
        CDC dc(image);
        view.DrawToDC(dc, extent, denominator, 0);
        return image;
    }

    CRecordingViewHost host;
    CScriptedUserServices user;
    CRecordingWindow window;
    CDrelDoc doc;
    CTestView view{doc};
    CTempDir dir;
};

} // namespace

TEST_F(ExportTest, MetafilesOfTheViewPlayAsTheMapDrawnDirectly)
{
    // The visible map; a quarter of it at twice the denominator (100 x 50 pixels).
    const CMapRect quarter(1000, 1500, 3000, 500);
    struct Case {
        const char* name;
        const CMapRect* extent;
        double denominatorFactor;
        CSize pixels;
    };
    const Case cases[] = {
        {"the visible map", nullptr, 0, {400, 200}},
        {"an extent at its scale", &quarter, 2, {100, 50}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const double denominator = c.denominatorFactor * view.GetScaleDenominator();
        ASSERT_EQ(view.ExportEnhMetafile(dir.File("map.emf"), c.extent, denominator), 1);
        ASSERT_EQ(view.ExportMetafile(dir.File("map.wmf"), c.extent, denominator), 1);
        CMetaFile emf, wmf;
        ASSERT_TRUE(emf.Load(dir.File("map.emf")));
        ASSERT_TRUE(wmf.Load(dir.File("map.wmf")));
        ASSERT_EQ(emf.GetKind(), CMetaFile::Kind::Enhanced);
        ASSERT_EQ(wmf.GetKind(), CMetaFile::Kind::Placeable);
        // A screen without a physical size counts 96 dots an inch.
        EXPECT_EQ(emf.GetEnhHeader().frame, CMetaFileDC::FrameFor(nullptr, c.pixels.cx, c.pixels.cy));
        const PlaceableMetaHeader& placeable = wmf.GetPlaceableHeader();
        EXPECT_EQ(placeable.unitsPerInch, 1000);
        EXPECT_EQ(placeable.boundingBox,
                  CRect(0, 0, MulDiv(c.pixels.cx, 1000, 96), MulDiv(c.pixels.cy, 1000, 96)));

        const QImage direct = Direct(c.extent, denominator, c.pixels);
        for (const CMetaFile* file : {&emf, &wmf}) {
            SCOPED_TRACE(file == &emf ? "enhanced" : "placeable");
            // At the picture's size and at twice it.
            for (const int times : {1, 2}) {
                const QImage played = Played(*file, c.pixels.cx * times, c.pixels.cy * times);
                for (const double fx : {0.05, 0.3, 0.45, 0.55, 0.7, 0.95})
                    for (const double fy : {0.05, 0.5, 0.95}) {
                        const int x = static_cast<int>(c.pixels.cx * fx), y = static_cast<int>(c.pixels.cy * fy);
                        EXPECT_EQ(PixelOf(played, x * times, y * times), PixelOf(direct, x, y))
                            << x << "," << y << " at " << times;
                    }
            }
        }
    }
    EXPECT_EQ(view.GetExportFlag(), 0);
    EXPECT_EQ(view.HasFixedExtent(), 0);
}

TEST_F(ExportTest, BackgroundOnlyWhenAsked)
{
    // The map's layers leave its top half empty: the background shows there.
    view.ZoomToRect(CMapRect(0, 4000, 4000, 0), 0);
    for (const int background : {1, 0}) {
        ASSERT_EQ(view.ExportEnhMetafile(dir.File("map.emf"), nullptr, 0, background), 1);
        CMetaFile emf;
        ASSERT_TRUE(emf.Load(dir.File("map.emf")));
        const QImage played = Played(emf, 400, 200);
        EXPECT_EQ(PixelOf(played, 200, 20), background ? RGB(255, 255, 255) : RGB(128, 128, 128));
        EXPECT_EQ(PixelOf(played, 150, 180), kLeftHalfColour);
    }
}

TEST_F(ExportTest, FailedExportsLeaveTheOldFile)
{
    const std::string path = dir.File("map.wmf");
    WriteWholeFile(path, "the old picture");
    const CMapRect flat(0, 1000, 1000, 1000);
    const CMapRect huge(-1e12, 1e12, 1e12, -1e12);
    EXPECT_EQ(view.ExportMetafile(path, &flat, 0), 0) << "an extent without area";
    EXPECT_EQ(view.ExportEnhMetafile(path, &huge, 0), 0) << "a picture no one can use";
    EXPECT_EQ(view.ExportEnhMetafile(dir.File("no folder/map.emf"), nullptr, 0), 0);
    EXPECT_EQ(view.ExportMetafile(dir.File("no folder/map.wmf"), nullptr, 0), 0);
    EXPECT_EQ(ReadWholeFile(path), "the old picture");
}

TEST_F(ExportTest, WindowsMetafilesWiderThanSixteenBitsTakeACoarserUnit)
{
    // 40 inches wide at a tenth of the view's denominator: the far corner
    // would wrap at a thousand units an inch.
    const CMapRect extent(0, 2000, 4000, 0);
    const double denominator = view.GetScaleDenominator() / 10;
    ASSERT_EQ(view.ExportMetafile(dir.File("wide.wmf"), &extent, denominator), 1);
    CMetaFile wmf;
    ASSERT_TRUE(wmf.Load(dir.File("wide.wmf")));
    const PlaceableMetaHeader& header = wmf.GetPlaceableHeader();
    EXPECT_LT(header.unitsPerInch, 1000);
    EXPECT_LE(header.boundingBox.right, 32767);
    EXPECT_NEAR(header.boundingBox.right * 1000.0 / header.unitsPerInch, 41667, 1000.0 / header.unitsPerInch);
    const QImage played = Played(wmf, 400, 200);
    EXPECT_EQ(PixelOf(played, 10, 10), kLeftHalfColour);
    EXPECT_EQ(PixelOf(played, 390, 190), kRightHalfColour);
}

TEST_F(ExportTest, CopyPutsThePictureAndTheEnhancedMetafileOnTheClipboard)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    view.CopyToClipboard();
    const QMimeData* data = clipboard->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(400, 200));
    EXPECT_EQ(PixelOf(image, 100, 100), kLeftHalfColour);
    EXPECT_EQ(PixelOf(image, 300, 100), kRightHalfColour);

    ASSERT_TRUE(data->hasFormat("image/x-emf"));
    const QByteArray bytes = data->data("image/x-emf");
    const CMetaFile emf = CMetaFile::FromBytes(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
    ASSERT_EQ(emf.GetKind(), CMetaFile::Kind::Enhanced);
    EXPECT_EQ(emf.GetEnhHeader().frame, CMetaFileDC::FrameFor(nullptr, 400, 200));
    const QImage played = Played(emf, 400, 200);
    EXPECT_EQ(PixelOf(played, 100, 100), kLeftHalfColour);
    EXPECT_EQ(PixelOf(played, 300, 100), kRightHalfColour);
    EXPECT_EQ(view.GetExportFlag(), 0);
}
