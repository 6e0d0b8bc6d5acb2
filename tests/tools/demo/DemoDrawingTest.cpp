// The demo town drawn through a map view as the program draws it, looked
// at by the colours of its layers. With DREL_PICTURE_DIR set the pictures
// are written there as PNG files, for a person to look at.
#include "layers/Layer.h"
#include "layers/PointStyle.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "platform/DC.h"
#include "platform/WindowSurface.h"
#include "render/PointSymbolHook.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/demo/DemoMapWriter.h"
#include "tools/demo/DemoNames.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <map>
#include <string>

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
        m_view = std::make_unique<CDrelView>(m_doc);
        m_view->SetWindow(&m_window);
        m_view->OnSize(kWidth, kHeight);
    }
    void TearDown() override { SetPointSymbolDrawer(nullptr); }

    // A drawing pass into a fresh picture, written out when asked for.
    QImage Draw(const std::string& name)
    {
        QImage image(kWidth, kHeight, QImage::Format_RGB32);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(3780);
        image.fill(Qt::black);
        {
            CDC dc(image);
            m_view->Redraw();
            m_view->OnDraw(dc);
        }
        if (const char* dir = std::getenv("DREL_PICTURE_DIR"))
            image.save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
        return image;
    }

    static CTempDir* s_dir;
    CRecordingViewHost m_host;
    CScriptedUserServices m_user;
    CSurfaceWindow m_window;
    CDrelDoc m_doc;
    std::unique_ptr<CDrelView> m_view;
    const CDemoNames& m_names = CDemoNames::Get();
};

CTempDir* DemoDrawing::s_dir = nullptr;

TEST_F(DemoDrawing, TheWholeTown)
{
    const QImage image = Draw("demo-town");
    EXPECT_TRUE(m_user.messages.empty());
}

TEST_F(DemoDrawing, TheCentre)
{
    CMapRect centre;
    ASSERT_TRUE(m_doc.FindBookmark(m_names.bookmarks[1], centre));
    m_view->ZoomToRect(centre, 0);
    const QImage image = Draw("demo-centre");
    EXPECT_TRUE(m_user.messages.empty());
}

} // namespace
