// The demo town drawn through a map view as the program draws it, looked
// at by the colours of its layers. With DREL_PICTURE_DIR set the pictures
// are written there as PNG files, for a person to look at.
#include "core/FileUtil.h"
#include "core/Shape.h"
#include "layers/DtmLayer.h"
#include "layers/FeatureSource.h"
#include "layers/GridFile.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "layers/PointStyle.h"
#include "layers/StyleRecord.h"
#include "mapdoc/ContextView.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/LineOverlay.h"
#include "mapdoc/PointOverlay.h"
#include "mapdoc/ScaleBar.h"
#include "mapdoc/ShapeOverlay.h"
#include "mapdoc/TextOverlay.h"
#include "platform/DC.h"
#include "platform/NumberText.h"
#include "platform/WindowSurface.h"
#include "render/PointSymbolHook.h"
#include "render/XImage.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/render/PictureFixtures.h"
#include "tests/support/TestSupport.h"
#include "tools/demo/DemoMapWriter.h"
#include "tools/demo/DemoNames.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1400;
constexpr int kHeight = 1000;

// The symbol library is not part of these tests: a disc in the style's
// colour stands for every symbol, red for the track's and the sights'.
int DrawDisc(CDC& dc, int x, int y, const CPointStyle& style, int)
{
    const bool red = style.symbol == 16 || style.symbol == 20;
    const int r = style.symbol == 16 ? 45 : 25;
    CBrush brush;
    brush.CreateSolidBrush(red ? RGB(200, 0, 0) : RGB(40, 40, 40));
    const CBrush before = dc.SelectObject(brush);
    const CPen pen = dc.SelectObject(CPen(PS_NULL, 0, 0));
    dc.Ellipse(x - r, y - r, x + r, y + r);
    dc.SelectObject(pen);
    dc.SelectObject(before);
    return 1;
}

class CSurfaceWindow : public CRecordingWindow {
public:
    CWindowSurface* GetSurface() override { return &surface; }
    CWindowSurface surface{kWidth, kHeight, 96};
};

using CQuad = std::array<CPoint, 4>;

// Whether two convex quadrilaterals share more than an edge: no side of
// either separates them.
bool QuadsOverlap(const CQuad& a, const CQuad& b)
{
    for (const CQuad* q : {&a, &b}) {
        for (int i = 0; i < 4; ++i) {
            const CPoint p = (*q)[i], n = (*q)[(i + 1) % 4];
            const double nx = -(n.y - p.y), ny = n.x - p.x;
            double minA = 1e300, maxA = -1e300, minB = 1e300, maxB = -1e300;
            for (const CPoint& c : a) {
                const double d = nx * c.x + ny * c.y;
                minA = std::min(minA, d);
                maxA = std::max(maxA, d);
            }
            for (const CPoint& c : b) {
                const double d = nx * c.x + ny * c.y;
                minB = std::min(minB, d);
                maxB = std::max(maxB, d);
            }
            if (maxA <= minB || maxB <= minA)
                return false;
        }
    }
    return true;
}

CQuad QuadOf(const CRect& r)
{
    return {CPoint(r.left, r.top), CPoint(r.right, r.top), CPoint(r.right, r.bottom), CPoint(r.left, r.bottom)};
}

// The map view as the program has it, keeping the places its register gave to labels.
class CLabelKeepingView : public CDrelView {
public:
    using CDrelView::CDrelView;
    int ReserveLabelRect(const CRect& r, int force) override
    {
        const int taken = CDrelView::ReserveLabelRect(r, force);
        if (taken)
            placed.push_back(QuadOf(r));
        return taken;
    }
    int ReserveLabelQuad(const CPoint corners[4], int force) override
    {
        const int taken = CDrelView::ReserveLabelQuad(corners, force);
        if (taken)
            placed.push_back({corners[0], corners[1], corners[2], corners[3]});
        return taken;
    }
    std::vector<CQuad> placed;
};

class DemoDrawing : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CScriptedUserServices user;
        s_dir = new CTempDir;
        std::string error;
        ASSERT_TRUE(MakeDemoMap(s_dir->Path(), {1, CDemoOptions::kDefaultStreets}, error)) << error;
    }
    static void TearDownTestSuite()
    {
        delete s_dir;
        s_dir = nullptr;
    }

    void SetUp() override
    {
        NeedGuiApplication();
        SetPointSymbolDrawer(DrawDisc);
        ASSERT_TRUE(m_doc.OnOpenDocument(s_dir->File(CDemoMapWriter::kMapFile)));
        m_view = std::make_unique<CLabelKeepingView>(m_doc);
        m_view->SetWindow(&m_window);
        m_view->OnSize(kWidth, kHeight);
    }
    void TearDown() override { SetPointSymbolDrawer(nullptr); }

    // A drawing pass into a fresh picture, written out when asked for.
    void Draw(const std::string& name)
    {
        m_image = QImage(kWidth, kHeight, QImage::Format_RGB32);
        m_image.setDotsPerMeterX(3780);
        m_image.setDotsPerMeterY(3780);
        m_image.fill(Qt::black);
        m_view->placed.clear();
        {
            CDC dc(m_image);
            m_view->Redraw();
            m_view->OnDraw(dc);
        }
        if (const char* dir = std::getenv("DREL_PICTURE_DIR"))
            m_image.save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
    }

    COLORREF PixelAt(const CMapPoint& p) const
    {
        const CPoint at = m_view->MapToClient(p);
        if (at.x < 0 || at.y < 0 || at.x >= kWidth || at.y >= kHeight)
            return CLR_INVALID;
        const QRgb c = m_image.pixel(at.x, at.y);
        return RGB(qRed(c), qGreen(c), qBlue(c));
    }

    // Every object of the layer in the view, with its attributes.
    void ForEachShape(const std::string& layerName, const std::function<void(const CShape&, CFeatureSource&)>& visit)
    {
        CLayer* layer = m_doc.Layers().FindByName(layerName);
        ASSERT_NE(layer, nullptr);
        CLayerReader reader;
        ASSERT_TRUE(reader.OpenLayer(layer));
        const CMapRect extent = m_view->GetMapExtent();
        reader.GetSource()->SetQueryRect(&extent);
        CShape shape;
        while (reader.GetSource()->ReadNextShape(shape))
            visit(shape, *reader.GetSource());
    }

    // The share of points inside the layer's areas, on a grid of 9 x 9
    // across each, that show one of the colours the style gives, out of
    // those in the view.
    double ShareInTheirColours(const std::string& layerName,
                               const std::function<std::vector<COLORREF>(CFeatureSource&)>& colours)
    {
        int inView = 0, right = 0;
        ForEachShape(layerName, [&](const CShape& shape, CFeatureSource& source) {
            const std::vector<COLORREF> expected = colours(source);
            const CMapRect box = shape.GetExtent();
            for (int i = 1; i < 10; ++i)
                for (int j = 1; j < 10; ++j) {
                    const CMapPoint p(box.left + box.Width() * i / 10, box.bottom + box.Height() * j / 10);
                    const COLORREF c = PixelAt(p);
                    if (c == CLR_INVALID || shape.PointInPolygon(p) != 1)
                        continue;
                    ++inView;
                    right += std::find(expected.begin(), expected.end(), c) != expected.end();
                }
        });
        return inView ? static_cast<double>(right) / inView : 0;
    }

    int CountPixels(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const QRgb c = m_image.pixel(x, y);
                count += RGB(qRed(c), qGreen(c), qBlue(c)) == colour;
            }
        return count;
    }

    void ExpectNoLabelsOverlap() const
    {
        const auto& placed = m_view->placed;
        int overlaps = 0;
        for (size_t i = 0; i < placed.size(); ++i)
            for (size_t j = i + 1; j < placed.size(); ++j)
                overlaps += QuadsOverlap(placed[i], placed[j]);
        EXPECT_EQ(overlaps, 0);
    }

    static CTempDir* s_dir;
    CRecordingViewHost m_host;
    CScriptedUserServices m_user;
    CSurfaceWindow m_window;
    CDrelDoc m_doc;
    std::unique_ptr<CLabelKeepingView> m_view;
    QImage m_image;
    const CDemoNames& m_names = CDemoNames::Get();
};

CTempDir* DemoDrawing::s_dir = nullptr;

constexpr COLORREF kParkRings = RGB(120, 185, 100);
constexpr COLORREF kParkGround = RGB(205, 235, 185);
constexpr COLORREF kRiver = RGB(90, 150, 215);
constexpr COLORREF kTrack = RGB(220, 30, 30);
constexpr COLORREF kMainStreetInside = RGB(255, 214, 120);

TEST_F(DemoDrawing, TheWholeTownShowsItsStreetsParksRiverTrackAndNames)
{
    Draw("demo-town");
    EXPECT_TRUE(m_user.messages.empty());
    const auto& l = m_names.layers;

    EXPECT_GT(ShareInTheirColours(l.parks, [](CFeatureSource&) {
                  return std::vector<COLORREF>{kParkRings, kParkGround};
              }),
              0.7)
        << "parks filled with their pattern";
    int riverPoints = 0, blue = 0;
    ForEachShape(l.river, [&](const CShape& river, CFeatureSource&) {
        for (int i = 0; i < river.GetPointCount(); ++i) {
            const COLORREF c = PixelAt(river.GetPoint(i));
            riverPoints += c != CLR_INVALID;
            blue += c == kRiver;
        }
    });
    EXPECT_GT(riverPoints, 10);
    EXPECT_GT(blue, riverPoints * 8 / 10);
    EXPECT_GT(CountPixels(kTrack), 1000) << "the track";
    EXPECT_GT(CountPixels(kMainStreetInside), 1000) << "the insides of the main streets";
    EXPECT_GT(m_view->placed.size(), 50u) << "street and place names";
    ExpectNoLabelsOverlap();
}

TEST_F(DemoDrawing, TheCentreShowsBuildingsByUseAndHouseNumbers)
{
    CMapRect centre;
    ASSERT_TRUE(m_doc.FindBookmark(m_names.bookmarks[1], centre));
    m_view->ZoomToRect(centre, 0);
    Draw("demo-centre");
    EXPECT_TRUE(m_user.messages.empty());

    const CLayer& buildings = *m_doc.Layers().FindByName(m_names.layers.buildings);
    const double scale = m_view->GetScaleDenominator();
    EXPECT_GT(ShareInTheirColours(m_names.layers.buildings,
                                         [&](CFeatureSource& source) {
                                             const CStyleRecord* style =
                                                 buildings.GetRecordStyle(scale, source.GetTable(),
                                                                          source.GetCurrentRecord());
                                             return std::vector<COLORREF>{style ? style->Draw().brushColor
                                                                                : CLR_INVALID};
                                         }),
              0.8)
        << "buildings in the colour of their use";
    EXPECT_GT(m_view->placed.size(), 100u) << "house numbers";
    ExpectNoLabelsOverlap();
}

TEST_F(DemoDrawing, TheReliefGroupShownColoursTheTownByHeight)
{
    const auto& l = m_names.layers;
    const auto* elevation = dynamic_cast<const CDtmLayer*>(m_doc.Layers().FindByName(l.elevation));
    ASSERT_NE(elevation, nullptr);
    ASSERT_EQ(elevation->GetFileCount(), 1);
    CGridFile grid;
    ASSERT_TRUE(grid.Open(elevation->Files()[0].path));
    CMapRect bounds;
    ASSERT_TRUE(grid.GetBounds(bounds));

    // At every third cell centre of the grid in the view, whether the pixel
    // shows the colour of the cell's height class; the class colours seen.
    std::set<COLORREF> seen;
    const auto shareInClassColours = [&] {
        CGridFile::ColourClasses classes = elevation->GetColourClasses();
        int inView = 0, right = 0;
        seen.clear();
        for (int r = 0; r < grid.GetRowCount(); r += 3)
            for (int c = 0; c < grid.GetColumnCount(); c += 3) {
                const CMapPoint p(bounds.left + c * std::fabs(grid.GetCellWidth()),
                                  bounds.top - r * std::fabs(grid.GetCellHeight()));
                const COLORREF pixel = PixelAt(p);
                if (pixel == CLR_INVALID)
                    continue;
                ++inView;
                if (pixel == CGridFile::ClassColour(classes, grid.ValueAt(p))) {
                    ++right;
                    seen.insert(pixel);
                }
            }
        EXPECT_GT(inView, 1000);
        return inView ? static_cast<double>(right) / inView : 0;
    };

    Draw("demo-town");
    EXPECT_LT(shareInClassColours(), 0.05) << "the group hidden";
    m_doc.SetLayerVisible(m_doc.Layers().FindByName(l.reliefGroup), true);
    Draw("demo-elevation");
    EXPECT_TRUE(m_user.messages.empty());
    // Streets, the river and the rest lie over some of the cells.
    EXPECT_GT(shareInClassColours(), 0.6);
    EXPECT_GE(seen.size(), 3u) << "hills and valleys in classes of their own";
}

TEST_F(DemoDrawing, TheOverviewShowsTheRiverAndStreetsRoundTheMapViewsFrame)
{
    CMapRect centre;
    ASSERT_TRUE(m_doc.FindBookmark(m_names.bookmarks[1], centre));
    m_view->ZoomToRect(centre, 0);

    CContextView overview(m_doc);
    overview.SetMainView(m_view.get());
    overview.OnSize(320, 240);
    overview.OnInitialUpdate();
    QImage image(320, 240, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        CDC dc(image);
        overview.OnDraw(dc);
    }
    if (const char* dir = std::getenv("DREL_PICTURE_DIR"))
        image.save(QString::fromStdString(std::string(dir) + "/demo-overview.png"));
    EXPECT_TRUE(m_user.messages.empty());

    int river = 0, red = 0, buildings = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            const COLORREF colour = RGB(qRed(c), qGreen(c), qBlue(c));
            river += colour == kRiver;
            red += colour == RGB(255, 0, 0);
            buildings += colour == RGB(222, 196, 176);
        }
    EXPECT_GT(river, 100) << "the river is an overview layer";
    EXPECT_EQ(buildings, 0) << "the houses are not";
    // The frame round the centre shown in the map view.
    const CRect frame = overview.RectToClient(m_view->GetMapExtent());
    EXPECT_GT(frame.Width(), 10);
    EXPECT_LT(frame.Width(), 320);
    EXPECT_GE(red, 2 * (frame.Width() + frame.Height()));
}

TEST_F(DemoDrawing, TheScaleBarStandsOnTheMapAndOnItsPage)
{
    m_view->OnInitialUpdate(); // the map shows its bar
    CScaleBar* bar = m_view->GetScaleBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(m_doc.IsModified());
    Draw("demo-map");
    // The bar's window over the map, 5 mm from the left and bottom edges.
    const CRect rect = bar->GetRect();
    EXPECT_EQ(rect.left, 19);
    EXPECT_EQ(rect.bottom, kHeight - 19);
    QImage window(rect.Width(), rect.Height(), QImage::Format_RGB32);
    window.setDotsPerMeterX(3780);
    window.setDotsPerMeterY(3780);
    {
        CDC dc(window);
        bar->Paint(dc, rect.Size());
    }
    QPainter(&m_image).drawImage(rect.left, rect.top, window);
    if (const char* dir = std::getenv("DREL_PICTURE_DIR"))
        m_image.save(QString::fromStdString(std::string(dir) + "/demo-scalebar.png"));
    const QRgb segment = window.pixel(MulDiv(59 + 20, 96, 1000), MulDiv(157, 96, 1000));
    EXPECT_EQ(qGray(segment), 0) << "the first segment is black";

    // An export of the same view at 300 dpi carries the bar at the same place in inches.
    const int width = kWidth * 300 / 96, height = kHeight * 300 / 96;
    QImage page(width, height, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::gray);
    {
        CDC dc(page);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(width * 1000 / 300, height * 1000 / 300);
        dc.SetViewportExt(width, height);
        bar->DrawOnPage(dc, CRect(0, 0, width * 1000 / 300, height * 1000 / 300));
    }
    if (const char* dir = std::getenv("DREL_PICTURE_DIR"))
        page.copy(0, height - 200, 800, 200).save(QString::fromStdString(std::string(dir) + "/demo-scalebar-page.png"));
    // 197 thousandths of an inch (59 pixels at 300 dpi) from the left and
    // bottom edges, the bar 197 high, its first segment 59 units in and 138 down.
    EXPECT_EQ(qGray(page.pixel(59 + 18 + 10, height - 59 - 59 + 47)), 0);
    EXPECT_EQ(page.pixel(57, height - 70), QColor(Qt::gray).rgb()) << "left of the bar's white";
}

TEST_F(DemoDrawing, BufferZonesAndOverlaysLieOverTheTownOnTheScreenOnly)
{
    CMapRect centre;
    ASSERT_TRUE(m_doc.FindBookmark(m_names.bookmarks[1], centre));
    m_view->ZoomToRect(centre, 0);
    const CMapRect extent = m_view->GetMapExtent();

    // Zones round the first street in the view and round a sight, and
    // the marks a search leaves.
    CShape street;
    ForEachShape(m_names.layers.streets, [&](const CShape& shape, CFeatureSource&) {
        if (street.GetPointCount() == 0)
            street.Copy(shape);
    });
    ASSERT_GT(street.GetPointCount(), 1);
    m_doc.BufferZones().AddZone(street, 0.03, CShape::kBufferBand);
    const CMapPoint sight(extent.left + extent.Width() * 0.7, extent.bottom + extent.Height() * 0.4);
    CShape point;
    point.SetPoints(1, &sight);
    m_doc.BufferZones().AddZone(point, 0.06, CShape::kBufferBand);
    ASSERT_EQ(m_doc.BufferZones().GetCount(), 2);
    m_view->AddOverlay(std::make_unique<CShapeOverlay>(street));
    m_view->AddOverlay(std::make_unique<CPointOverlay>(sight));
    m_view->AddOverlay(std::make_unique<CTextOverlay>(sight, m_names.sights[0], 0));
    m_view->AddOverlay(std::make_unique<CTextOverlay>(sight, "12A", 8));
    const CMapPoint other(extent.left + extent.Width() * 0.2, extent.bottom + extent.Height() * 0.8);
    m_view->AddOverlay(std::make_unique<CLineOverlay>(sight, other));

    Draw("demo-zones-overlays");
    EXPECT_TRUE(m_user.messages.empty());
    const int purple = CountPixels(RGB(128, 0, 128));
    EXPECT_GT(purple, 2000) << "the zones' outlines and hatching";
    EXPECT_GT(CountPixels(RGB(0, 150, 0)), 200) << "the highlighted street";
    // The arrow of the marker, its tip under the labels of the point.
    const CPoint marker = m_view->MapToClient(sight);
    EXPECT_EQ(PixelAt(m_view->ClientToMap(marker.x + 9, marker.y + 23)), RGB(0xD0, 0x30, 0x20));
    ExpectNoLabelsOverlap();

    // An exported picture has the zones and none of the overlays.
    m_image = QImage(kWidth, kHeight, QImage::Format_RGB32);
    m_image.fill(Qt::white);
    {
        CDC dc(m_image);
        m_view->DrawToDC(dc, nullptr, 0, 0);
    }
    if (const char* dir = std::getenv("DREL_PICTURE_DIR"))
        m_image.save(QString::fromStdString(std::string(dir) + "/demo-zones-export.png"));
    EXPECT_NEAR(CountPixels(RGB(128, 0, 128)), purple, purple / 5);
    EXPECT_EQ(CountPixels(RGB(0, 150, 0)), 0);
    EXPECT_NE(PixelAt(m_view->ClientToMap(marker.x + 9, marker.y + 23)), RGB(0xD0, 0x30, 0x20));
}


TEST_F(DemoDrawing, TheReliefPictureLiesWhereItsWorldFileSays)
{
    const auto& l = m_names.layers;
    const CLayerArray& layers = m_doc.Layers();
    for (int i = 0; i < layers.GetSize(); ++i) {
        CLayer* layer = layers.GetAt(i);
        m_doc.SetLayerVisible(layer, layer->GetName() == l.reliefGroup || layer->GetName() == l.relief);
    }
    CLayer* relief = m_doc.Layers().FindByName(l.relief);
    ASSERT_NE(relief, nullptr);
    ASSERT_TRUE(relief->HasFlag(CLayer::kShown));
    Draw("demo-relief");
    EXPECT_TRUE(m_user.messages.empty());

    // The picture's own pixels, placed by the world file beside it.
    const std::string path = relief->GetPath();
    CxImage picture(path, CXIMAGE_FORMAT_BMP);
    ASSERT_TRUE(picture.IsValid());
    const std::string world = ReadWholeFile(GetPathFolder(path) + GetPathTitle(path) + ".wld");
    double terms[6] = {};
    ASSERT_EQ(ScanRealsC(world, terms, 6), 6);
    const double pixel = terms[0], left = terms[4], top = terms[5];
    ASSERT_EQ(terms[3], -pixel);
    // Each pixel where its world file puts it: the one at its centre, or,
    // where the rounding of the two placements falls apart, a neighbour.
    int seen = 0, same = 0, near = 0;
    for (int y = 1; y + 1 < picture.GetHeight(); y += 7)
        for (int x = 1; x + 1 < picture.GetWidth(); x += 7) {
            const COLORREF shown = PixelAt(CMapPoint(left + x * pixel, top - y * pixel));
            if (shown == CLR_INVALID)
                continue;
            ++seen;
            same += shown == PictureColour(picture, x, y);
            bool neighbour = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    neighbour = neighbour || shown == PictureColour(picture, x + dx, y + dy);
            near += neighbour;
        }
    EXPECT_GT(seen, 5000);
    EXPECT_GT(same, seen * 9 / 10);
    EXPECT_EQ(near, seen);

    // The town over it, zoomed in on the centre where a picture pixel is
    // several screen pixels.
    for (int i = 0; i < layers.GetSize(); ++i)
        m_doc.SetLayerVisible(layers.GetAt(i), layers.GetAt(i)->GetName() != l.elevation);
    CMapRect centre;
    ASSERT_TRUE(m_doc.FindBookmark(m_names.bookmarks[1], centre));
    m_view->ZoomToRect(centre, 0);
    Draw("demo-centre-relief");
    EXPECT_TRUE(m_user.messages.empty());
    const CMapPoint middle = centre.Center();
    const COLORREF expected = PictureColour(picture, static_cast<int>(std::lround((middle.x - left) / pixel)),
                                            static_cast<int>(std::lround((top - middle.y) / pixel)));
    int reliefPixels = 0;
    for (int y = 0; y < kHeight; y += 5)
        for (int x = 0; x < kWidth; x += 5) {
            const QRgb c = m_image.pixel(x, y);
            reliefPixels += Near(RGB(qRed(c), qGreen(c), qBlue(c)), expected, 40);
        }
    EXPECT_GT(reliefPixels, 1000) << "the relief shows between the buildings";
}


} // namespace
