// The demo town drawn to PNG as drel-render draws it, through the map
// view's export path, and read back from the file. With DREL_PICTURE_DIR
// set the pictures are kept there, for a person to look at.
#include "core/Shape.h"
#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/Sublayer.h"
#include "mapdoc/BufferZoneSet.h"
#include "mapdoc/DrelDoc.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "render/LabelPainter.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/demo/DemoViewSupport.h"
#include "tools/demo/DemoNames.h"
#include "tools/render/MapPicture.h"
#include "tools/render/MapRenderer.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 1400;
constexpr int kHeight = 1000;
constexpr QRgb kWhite = qRgb(255, 255, 255);
// The buffer zones' outline and hatching.
constexpr QRgb kZonePurple = qRgb(128, 0, 128);

// The name of the object the source read last.
std::string NameOf(CFeatureSource& source)
{
    std::string name;
    source.GetFieldText(source.GetCurrentRecord(), source.GetTable().FindField("PAVAD"), name);
    return name;
}

int CountDifferent(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

class DemoPicture : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        std::string error;
        ASSERT_TRUE(m_renderer.Open(DemoMapPath(), kWidth, kHeight, error,
                                    [](CDrelDoc& doc) { return std::make_unique<CLabelKeepingView>(doc); }))
            << error;
        m_view = static_cast<CLabelKeepingView*>(&m_renderer.View());
    }

    CDrelDoc& Doc() { return m_renderer.Document(); }
    CLayer& Layer(const std::string& name)
    {
        CLayer* layer = Doc().Layers().FindByName(name);
        EXPECT_NE(layer, nullptr) << name;
        return *layer;
    }
    void ShowBookmark(int index)
    {
        std::string error;
        ASSERT_TRUE(m_renderer.ShowBookmark(m_names.bookmarks[static_cast<size_t>(index)], error)) << error;
    }

    // The picture as drel-render writes it, read back from its file.
    QImage Draw(const std::string& name)
    {
        m_view->placed.clear();
        const std::string path = m_pictures.File(name + ".png");
        const CMapPictureFormat* png = FindMapPictureFormat(path);
        std::string error;
        EXPECT_TRUE(png && png->write(*m_view, path, error)) << error;
        QImage image(QString::fromStdString(path));
        EXPECT_EQ(image.size(), QSize(kWidth, kHeight));
        if (const char* dir = std::getenv("DREL_PICTURE_DIR"))
            image.save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
        return image.convertToFormat(QImage::Format_RGB32);
    }

    CTempDir m_pictures;
    CScriptedUserServices m_user;
    CMapRenderer m_renderer;
    CLabelKeepingView* m_view = nullptr;
    const CDemoNames& m_names = CDemoNames::Get();
};

TEST_F(DemoPicture, EachLayerLiesOverThoseBeforeItInTheLegend)
{
    ShowBookmark(1);
    // Labels go over every layer: without them each layer's own objects show.
    std::vector<CLayer*> layers;
    for (int i = 0; i < Doc().GetLayerCount(); ++i) {
        CLayer* layer = Doc().GetLayer(i);
        for (int k = 0; k < layer->GetSublayerCount(); ++k)
            layer->GetSublayer(k)->m_labelField.clear();
        if (!layer->HasFlag(CLayer::kGroup) && layer->HasFlag(CLayer::kShown))
            layers.push_back(layer);
    }
    ASSERT_EQ(layers.size(), 7u);
    const QImage all = Draw("demo-order");
    std::vector<QImage> alone;
    for (CLayer* shown : layers) {
        for (CLayer* layer : layers)
            Doc().SetLayerVisible(layer, layer == shown);
        alone.push_back(Draw("demo-order-alone"));
    }
    EXPECT_TRUE(m_user.messages.empty());

    // Where two layers draw different pixels, the whole map shows the later one's.
    int pairs = 0;
    for (size_t i = 0; i < layers.size(); ++i)
        for (size_t j = i + 1; j < layers.size(); ++j) {
            int both = 0, later = 0, earlier = 0;
            for (int y = 0; y < kHeight; ++y)
                for (int x = 0; x < kWidth; ++x) {
                    const QRgb a = alone[i].pixel(x, y), b = alone[j].pixel(x, y);
                    if (a == kWhite || b == kWhite || a == b)
                        continue;
                    ++both;
                    later += all.pixel(x, y) == b;
                    earlier += all.pixel(x, y) == a;
                }
            if (both < 100)
                continue;
            SCOPED_TRACE(layers[j]->GetName() + " over " + layers[i]->GetName());
            ++pairs;
            // The third of three layers over each other takes some.
            EXPECT_GT(later, both * 8 / 10);
            EXPECT_LT(earlier, both / 50);
        }
    EXPECT_GE(pairs, 4) << "the river over the parks, the streets over the river, the sights over the houses, "
                           "the track over the streets";
}

TEST_F(DemoPicture, AHiddenGroupsMembersStayOffThePicture)
{
    CLayer& group = Layer(m_names.layers.reliefGroup);
    ASSERT_TRUE(group.HasFlag(CLayer::kGroup));
    ASSERT_FALSE(group.HasFlag(CLayer::kShown));
    CLayer& relief = Layer(m_names.layers.relief);
    CLayer& elevation = Layer(m_names.layers.elevation);
    // Shown themselves, hidden by their group.
    relief.SetFlag(CLayer::kShown, true);
    elevation.SetFlag(CLayer::kShown, true);
    const QImage hidden = Draw("demo-relief-group-hidden");
    relief.SetFlag(CLayer::kShown, false);
    elevation.SetFlag(CLayer::kShown, false);
    const QImage without = Draw("demo-without-relief");
    EXPECT_EQ(CountDifferent(hidden, without), 0);

    Doc().SetLayerVisible(&group, true);
    const QImage shown = Draw("demo-relief-group-shown");
    EXPECT_GT(CountDifferent(shown, without), kWidth * kHeight / 3) << "the ground between the houses";
    EXPECT_TRUE(m_user.messages.empty());
}

TEST_F(DemoPicture, LabelsStandApartAtEveryScale)
{
    for (int bookmark : {0, 1, 3}) {
        SCOPED_TRACE(bookmark);
        ShowBookmark(bookmark);
        Draw("demo-labels-" + std::to_string(bookmark));
        EXPECT_GT(m_view->placed.size(), 40u);
        EXPECT_EQ(m_view->CountOverlaps(), 0);
    }
    EXPECT_TRUE(m_user.messages.empty());
}

// The letters beyond Latin of a text, each as its Latin base letter.
std::string WithoutDiacritics(const std::string& text)
{
    const std::string from = Utf8ToCp1257("ąčęėįšųūžĄČĘĖĮŠŲŪŽ");
    const std::string to = "aceeisuuzACEEISUUZ";
    std::string latin = text;
    for (char& c : latin)
        if (const size_t at = from.find(c); at != std::string::npos)
            c = to[at];
    return latin;
}

TEST_F(DemoPicture, ALabelShowsItsLithuanianLettersAsTheContextDrawsThem)
{
    ShowBookmark(1);
    const QImage map = Draw("demo-centre");
    const std::vector<CQuad> placed = m_view->placed;
    // The names of the sights in the view that hold such letters.
    std::set<std::string> names;
    ForEachShapeInView(*m_view, m_names.layers.sights, [&](const CShape&, CFeatureSource& source) {
        const std::string name = NameOf(source);
        if (WithoutDiacritics(name) != name)
            names.insert(name);
    });
    ASSERT_FALSE(names.empty());
    // The same map without the sights' names: their labels come last, so
    // every other label keeps its place.
    CSublayer& style = *Layer(m_names.layers.sights).GetSublayer(0);
    const std::string field = style.m_labelField;
    style.m_labelField.clear();
    const QImage unnamed = Draw("demo-centre-unnamed-sights");
    style.m_labelField = field;
    const int scale = static_cast<int>(m_view->GetScaleDenominator());

    // The text drawn by the context in the label's font over the unnamed
    // map where the view put the label: the pixels of the box it changed,
    // and those where it differs from the map.
    const auto compare = [&](const std::string& text, const CRect& box, int& changed, int& differ) {
        QImage expected = unnamed.copy();
        CDC dc(expected);
        m_view->PrepareDCMapping(dc);
        CLabelPainter painter(nullptr, dc);
        painter.SetLabelStyle(style, scale);
        dc.TextOut(box.left, box.top, text);
        CRect device = box;
        dc.LPtoDP(&device);
        device.NormalizeRect();
        device.InflateRect(1, 1);
        changed = differ = 0;
        for (int y = std::max(0, device.top); y < std::min(kHeight, device.bottom); ++y)
            for (int x = std::max(0, device.left); x < std::min(kWidth, device.right); ++x) {
                changed += expected.pixel(x, y) != unnamed.pixel(x, y);
                differ += expected.pixel(x, y) != map.pixel(x, y);
            }
    };
    int compared = 0;
    for (const std::string& name : names) {
        CSize size;
        {
            QImage scratch(8, 8, QImage::Format_RGB32);
            scratch.setDotsPerMeterX(3780);
            scratch.setDotsPerMeterY(3780);
            CDC dc(scratch);
            m_view->PrepareDCMapping(dc);
            CLabelPainter painter(nullptr, dc);
            painter.SetLabelStyle(style, scale);
            size = painter.GetTextExtent(name);
        }
        // Its place: a label box of its size where the text fits.
        for (const CQuad& quad : placed) {
            const CRect box(quad[0], quad[2]);
            if (box.Width() != size.cx || std::abs(box.Height()) != std::abs(size.cy))
                continue;
            int changed = 0, differ = 0;
            compare(name, box, changed, differ);
            if (differ > changed / 4)
                continue; // another sight's name of that size
            SCOPED_TRACE(Cp1257ToUtf8(name));
            ++compared;
            EXPECT_GT(changed, 100);
            EXPECT_EQ(differ, 0);
            // The same text in Latin letters misses the marks of those letters.
            int latinChanged = 0, latinDiffer = 0;
            compare(WithoutDiacritics(name), box, latinChanged, latinDiffer);
            EXPECT_GE(latinDiffer, 4);
        }
    }
    EXPECT_GE(compared, 2);
    EXPECT_TRUE(m_user.messages.empty());
}

// The distance from a point to a polyline.
double DistanceToLine(const CPoint& p, const std::vector<CPoint>& line)
{
    double best = 1e300;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        const double ax = line[i].x, ay = line[i].y, dx = line[i + 1].x - ax, dy = line[i + 1].y - ay;
        const double length2 = dx * dx + dy * dy;
        const double t = length2 > 0 ? std::clamp(((p.x - ax) * dx + (p.y - ay) * dy) / length2, 0.0, 1.0) : 0;
        best = std::min(best, std::hypot(p.x - ax - t * dx, p.y - ay - t * dy));
    }
    return best;
}

TEST_F(DemoPicture, ABufferZoneRoundAStreetIsHatchedInPurpleOverTheMap)
{
    ShowBookmark(1);
    // The longest stretch in the view of the main street every town has.
    CShape street;
    double length = 0;
    ForEachShapeInView(*m_view, m_names.layers.streets, [&](const CShape& shape, CFeatureSource& source) {
        const std::string name = NameOf(source);
        if (name.rfind(m_names.showcaseMainStem, 0) == 0 && Doc().GetShapeLengthKm(shape) > length) {
            street.Copy(shape);
            length = Doc().GetShapeLengthKm(shape);
        }
    });
    ASSERT_GT(street.GetPointCount(), 1);
    const QImage before = Draw("demo-before-zone");
    constexpr double kRadiusKm = 0.04;
    ASSERT_EQ(Doc().BufferZones().AddZone(street, kRadiusKm, CShape::kBufferBand), 1);
    const QImage zone = Draw("demo-street-zone");
    EXPECT_TRUE(m_user.messages.empty());

    std::vector<CPoint> line;
    for (int i = 0; i < street.GetPointCount(); ++i)
        line.push_back(m_view->MapToClient(street.GetPoint(i)));
    double unitsX = 0, unitsY = 0;
    m_view->ClientSizeToMap(1, 1, unitsX, unitsY);
    const double radius = kRadiusKm * 1000 / std::fabs(unitsX); // pixels; the map is in metres

    // Purple only in the zone; inside it diagonal hatching over the map as
    // it was, and the outline at the radius.
    int inside = 0, hatched = 0, diagonal = 0, outside = 0, strayPurple = 0, kept = 0, band = 0, outline = 0;
    for (int y = 1; y + 1 < kHeight; ++y)
        for (int x = 1; x + 1 < kWidth; ++x) {
            const double d = DistanceToLine(CPoint(x, y), line);
            const QRgb c = zone.pixel(x, y);
            if (d > radius + 2) {
                ++outside;
                strayPurple += c == kZonePurple;
            } else if (d < radius - 2) {
                ++inside;
                if (c == kZonePurple) {
                    ++hatched;
                    diagonal += zone.pixel(x + 1, y + 1) == kZonePurple || zone.pixel(x + 1, y - 1) == kZonePurple;
                } else {
                    kept += c == before.pixel(x, y);
                }
            } else if (std::fabs(d - radius) < 0.5) {
                ++band;
                bool near = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        near = near || zone.pixel(x + dx, y + dy) == kZonePurple;
                outline += near;
            }
        }
    ASSERT_GT(inside, 10000);
    EXPECT_EQ(strayPurple, 0);
    EXPECT_GT(outside, kWidth * kHeight / 2);
    EXPECT_GT(hatched, inside / 8) << "a hatch of crossing diagonals";
    EXPECT_LT(hatched, inside / 3);
    EXPECT_GT(diagonal, hatched * 9 / 10);
    EXPECT_GT(kept, (inside - hatched) * 95 / 100) << "the map shows between the lines";
    EXPECT_GT(outline, band * 9 / 10);
}

} // namespace
