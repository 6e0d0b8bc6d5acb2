// The demo town exported as enhanced and Windows metafiles and read by
// converters that are not ours: emf2svg-conv (package emf2svg) and
// wmf2svg (package libwmf-bin).
#include "mapdoc/DrelDoc.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/PrintPages.h"
#include "platform/Codepage.h"
#include "platform/DC.h"
#include "platform/MetaFile.h"
#include "platform/Path.h"
#include "tests/mapdoc/PdfReadBack.h"
#include "tests/mapdoc/ViewTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/demo/DemoViewSupport.h"
#include "tools/demo/DemoMapWriter.h"
#include "tools/demo/DemoNames.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

bool Installed(const char* program)
{
    return ::access((std::string("/usr/bin/") + program).c_str(), X_OK) == 0;
}

// With DREL_PICTURE_DIR set, the metafile played into a picture and the
// converter's SVG go there, for a person to look at.
void KeepPlayedForLooking(const std::string& metafile, const std::string& svg, const std::string& name)
{
    const char* dir = std::getenv("DREL_PICTURE_DIR");
    if (!dir)
        return;
    CMetaFile file;
    if (!file.Load(metafile))
        return;
    QImage image(1400, 1000, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        CDC dc(image);
        file.Play(dc, CRect(0, 0, 1400, 1000));
    }
    image.save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
    WriteWholeFile(std::string(dir) + "/" + name + ".svg", ReadWholeFile(svg));
}

int Count(const std::string& text, const std::string& what)
{
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The stems of the town's street names (UTF-8) that the text holds.
int StreetNamesIn(const std::string& text)
{
    const CDemoNames& names = CDemoNames::Get();
    int found = 0;
    for (const auto* stems : {&names.streetStems, &names.mainStems, &names.showcaseStems})
        for (const std::string& stem : *stems)
            found += text.find(Cp1257ToUtf8(stem)) != std::string::npos;
    return found;
}

class DemoExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        NeedGuiApplication();
        ASSERT_TRUE(m_doc.OnOpenDocument(DemoMapPath()));
        m_view = std::make_unique<CDrelView>(m_doc);
        m_view->SetWindow(&m_window);
        m_view->OnSize(1400, 1000);
    }

    // Runs the converter of the metafile into demo.svg: it must say
    // nothing and succeed. The SVG's text.
    std::string Convert(const std::string& command, const std::string& metafile, const std::string& lookName)
    {
        std::string output;
        EXPECT_EQ(RunCommand(command, output), 0);
        EXPECT_EQ(output, "") << "no complaint";
        KeepPlayedForLooking(m_out.File(metafile), m_out.File("demo.svg"), lookName);
        return ReadWholeFile(m_out.File("demo.svg"));
    }

    CRecordingViewHost m_host;
    CScriptedUserServices m_user;
    CRecordingWindow m_window;
    CDrelDoc m_doc;
    std::unique_ptr<CDrelView> m_view;
    CTempDir m_out;
};

} // namespace

TEST_F(DemoExport, EnhancedMetafileReadsInEmf2svg)
{
    if (!Installed("emf2svg-conv"))
        GTEST_SKIP() << "emf2svg-conv (package emf2svg) is not installed";
    const std::string emf = ResolvePath(m_out.File("demo.emf")), svg = ResolvePath(m_out.File("demo.svg"));
    ASSERT_EQ(m_view->ExportEnhMetafile(m_out.File("demo.emf"), nullptr, 0), 1);
    EXPECT_TRUE(m_user.messages.empty());
    const std::string text = Convert("emf2svg-conv -i '" + emf + "' -o '" + svg + "'", "demo.emf", "demo-emf");
    EXPECT_GT(StreetNamesIn(text), 10) << "street names";
    EXPECT_GT(Count(text, "<path"), 200) << "streets, buildings, parks";
    EXPECT_GT(Count(text, "[CDATA["), 50) << "labels";
}

TEST_F(DemoExport, WindowsMetafileReadsInWmf2svg)
{
    if (!Installed("wmf2svg"))
        GTEST_SKIP() << "wmf2svg (package libwmf-bin) is not installed";
    const std::string wmf = ResolvePath(m_out.File("demo.wmf")), svg = ResolvePath(m_out.File("demo.svg"));
    ASSERT_EQ(m_view->ExportMetafile(m_out.File("demo.wmf"), nullptr, 0), 1);
    EXPECT_TRUE(m_user.messages.empty());
    const std::string text = Convert("wmf2svg -o '" + svg + "' '" + wmf + "'", "demo.wmf", "demo-wmf");
    // The reader places each letter of a text on its own and passes the
    // code page 1257 bytes on: the letters in order are the texts.
    std::string letters;
    for (std::size_t at = text.find("</text>"); at != std::string::npos; at = text.find("</text>", at + 1)) {
        const std::size_t open = text.rfind('>', at);
        letters += text.substr(open + 1, at - open - 1);
    }
    EXPECT_GT(StreetNamesIn(Cp1257ToUtf8(letters)), 10) << "street names";
    EXPECT_GT(Count(text, "<polyline") + Count(text, "<polygon") + Count(text, "<path"), 200);
}

TEST_F(DemoExport, PrintedTownReadsBackItsNames)
{
    CFixedPageSetup setup;
    setup.values.margins = CRect(1500, 1500, 1500, 1500);
    setup.values.title = CDemoNames::Get().towns[0];
    setup.values.titleFont.lfHeight = -250;
    std::strcpy(setup.values.titleFont.lfFaceName, "Liberation Sans");
    setup.values.frame = 1;
    const std::string pdf = ResolvePath(m_out.File("town.pdf"));
    {
        QPdfWriter writer(QString::fromStdString(pdf));
        writer.setResolution(600);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(5, 5, 5, 5),
                                         QPageLayout::Millimeter));
        CDC dc(writer);
        ASSERT_EQ(PrintViewPages(*m_view, dc), 1);
    }
    EXPECT_TRUE(m_user.messages.empty());
    KeepForLooking(pdf, "demo-print.pdf");
    const std::string text = PdfText(pdf);
    EXPECT_NE(text.find(Cp1257ToUtf8(setup.values.title)), std::string::npos);
    EXPECT_GT(StreetNamesIn(text), 10) << text;
}
