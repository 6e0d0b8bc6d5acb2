#include "platform/DC.h"
#include "platform/Path.h"
#include "tests/platform/ImageProbe.h"

#include "tests/support/TestSupport.h"

#include <QImage>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

// "Šiauliai" in code page 1257.
const std::string kSiauliai = "\xD0iauliai";

// The box of the pixels that are not white; empty when there are none.
CRect Ink(const QImage& image)
{
    CRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (At(image, x, y) != kWhite)
                box.UnionRect(box, CRect(x, y, x + 1, y + 1));
    return box;
}

CFont MakeFont(int height, const char* face, int escapement = 0, int weight = FW_NORMAL, bool underline = false)
{
    LOGFONT lf;
    lf.lfHeight = height;
    lf.lfEscapement = lf.lfOrientation = escapement;
    lf.lfWeight = weight;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfCharSet = BALTIC_CHARSET;
    std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return CFont(lf);
}

// Draws the text with one alignment at one point into a fresh image.
QImage Drawn(unsigned align, int x, int y, const std::string& text = kSiauliai)
{
    QImage image = MakeImage(160, 80);
    CDC dc(image);
    dc.SelectObject(MakeFont(-20, "Arial"));
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextAlign(align);
    dc.TextOut(x, y, text);
    return image;
}

} // namespace

TEST(DCText, AlignmentsPlaceTheTextBoxOnTheReferencePoint)
{
    NeedGuiApplication();
    QImage probe = MakeImage(1, 1);
    CDC dc(probe);
    dc.SelectObject(MakeFont(-20, "Arial"));
    TEXTMETRIC tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    const CSize extent = dc.GetTextExtent(kSiauliai);
    EXPECT_EQ(extent.cy, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GT(tm.tmAscent, tm.tmDescent);
    EXPECT_GT(extent.cx, 40);

    const QImage top = Drawn(TA_LEFT | TA_TOP, 20, 20);
    EXPECT_FALSE(Ink(top).IsRectEmpty());
    EXPECT_GE(Ink(top).top, 20);
    EXPECT_LE(Ink(top).bottom, 20 + tm.tmHeight);
    EXPECT_EQ(Drawn(TA_LEFT | TA_BASELINE, 20, 20 + tm.tmAscent), top);
    EXPECT_EQ(Drawn(TA_LEFT | TA_BOTTOM, 20, 20 + tm.tmHeight), top);
    EXPECT_EQ(Drawn(TA_RIGHT | TA_TOP, 20 + extent.cx, 20), top);
    EXPECT_EQ(Drawn(TA_CENTER | TA_TOP, 20 + extent.cx / 2, 20), top);
    EXPECT_EQ(Drawn(TA_CENTER | TA_BASELINE, 20 + extent.cx / 2, 20 + tm.tmAscent), top);
    EXPECT_NE(Drawn(TA_LEFT | TA_TOP, 21, 20), top);
}

TEST(DCText, BackgroundModeRotationAndCurrentPosition)
{
    NeedGuiApplication();
    QImage image = MakeImage(200, 200);
    CDC dc(image);
    dc.SelectObject(MakeFont(-20, "Arial"));
    const CSize extent = dc.GetTextExtent(kSiauliai);
    // OPAQUE fills the text's cell with the background colour.
    dc.SetBkColor(kYellow);
    dc.TextOut(10, 10, kSiauliai);
    EXPECT_EQ(At(image, 10, 10), kYellow);
    EXPECT_EQ(At(image, 10 + extent.cx - 1, 10 + extent.cy - 1), kYellow);
    EXPECT_EQ(At(image, 9, 10), kWhite);
    EXPECT_EQ(At(image, 10, 10 + extent.cy), kWhite);
    EXPECT_EQ(At(image, 10 + extent.cx, 10), kWhite);

    // Turned by 90 degrees the label stands upright, going upwards from its point.
    QImage turned = MakeImage(200, 200);
    CDC turnedDc(turned);
    turnedDc.SelectObject(MakeFont(-20, "Arial", 900));
    turnedDc.SetBkMode(TRANSPARENT);
    turnedDc.TextOut(100, 150, kSiauliai);
    const CRect ink = Ink(turned);
    EXPECT_GT(ink.Height(), 2 * ink.Width());
    EXPECT_NEAR(ink.Height(), extent.cx, 4);
    EXPECT_LE(ink.bottom, 151);
    EXPECT_GE(ink.left, 100);

    // TA_UPDATECP writes at the current position and moves it along the text.
    QImage cp = MakeImage(200, 40);
    CDC cpDc(cp);
    cpDc.SelectObject(MakeFont(-20, "Arial"));
    cpDc.SetTextAlign(TA_UPDATECP);
    cpDc.MoveTo(5, 5);
    cpDc.TextOut(0, 0, kSiauliai);
    EXPECT_EQ(cpDc.GetCurrentPosition(), CPoint(5 + extent.cx, 5));
    cpDc.SetTextAlign(TA_UPDATECP | TA_RIGHT);
    cpDc.TextOut(0, 0, "ab");
    EXPECT_EQ(cpDc.GetCurrentPosition(), CPoint(5 + extent.cx - cpDc.GetTextExtent("ab").cx, 5));
}

TEST(DCText, FontsFromLogfonts)
{
    NeedGuiApplication();
    QImage probe = MakeImage(1, 1);
    CDC dc(probe);
    const struct {
        const char* face;
        const char* family;
    } faces[] = {
        {"Arial", "Liberation Sans"},
        {"Arial Baltic", "Liberation Sans"},
        {"arial baltic", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Times New Roman Baltic", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
        {"MS Sans Serif", "Liberation Sans"},
        {"", "Liberation Sans"},
        {"No Such Face", "Liberation Sans"},
    };
    for (const auto& f : faces) {
        SCOPED_TRACE(f.face);
        dc.SelectObject(MakeFont(-12, f.face));
        EXPECT_EQ(dc.GetTextFace(), f.family);
    }

    // -111 thousandths of an inch at 96 dpi: a character height of 11 pixels,
    // drawn as an 11-pixel font is.
    QImage pixels = MakeImage(120, 30);
    QImage thousandths = MakeImage(120, 30);
    {
        CDC a(pixels);
        a.SelectObject(MakeFont(-11, "Arial"));
        TEXTMETRIC tm;
        a.GetTextMetrics(&tm);
        EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);
        a.TextOut(2, 2, kSiauliai);
        CDC b(thousandths);
        b.SetMapMode(MM_ANISOTROPIC);
        b.SetWindowExt(1000, 1000);
        b.SetViewportExt(96, 96);
        b.SelectObject(MakeFont(-111, "Arial"));
        b.TextOut(21, 21, kSiauliai); // (2, 2) in pixels
    }
    EXPECT_FALSE(Ink(pixels).IsRectEmpty());
    EXPECT_EQ(pixels, thousandths);

    // A positive height is the cell: ascent plus descent.
    dc.SelectObject(MakeFont(30, "Times New Roman"));
    TEXTMETRIC cell;
    dc.GetTextMetrics(&cell);
    EXPECT_NEAR(cell.tmHeight, 30, 1);
    EXPECT_GT(cell.tmInternalLeading, 0);

    // Weight, underline and the default font.
    dc.SelectObject(MakeFont(-20, "Arial", 0, FW_BOLD));
    const int bold = dc.GetTextExtent(kSiauliai).cx;
    dc.SelectObject(MakeFont(-20, "Arial"));
    EXPECT_GT(bold, dc.GetTextExtent(kSiauliai).cx);
    QImage plain = Drawn(TA_LEFT | TA_BASELINE, 10, 40, "aaaa");
    EXPECT_LE(Ink(plain).bottom, 41);
    QImage underlined = MakeImage(160, 80);
    {
        CDC u(underlined);
        u.SelectObject(MakeFont(-20, "Arial", 0, FW_NORMAL, true));
        u.SetTextAlign(TA_BASELINE);
        u.TextOut(10, 40, "aaaa");
    }
    EXPECT_GT(Ink(underlined).bottom, 41);
    CDC fresh;
    EXPECT_EQ(fresh.GetTextFace(), "Liberation Sans");
    TEXTMETRIC standard;
    ASSERT_TRUE(fresh.GetTextMetrics(&standard));
    EXPECT_NEAR(standard.tmHeight - standard.tmInternalLeading, 16, 1); // 12 points at 96 dpi
    CFont point;
    point.CreatePointFont(80, "MS Sans Serif");
    EXPECT_EQ(point.LogFont().lfHeight, -11);
    EXPECT_EQ(dc.SelectObject(CFont()).GetSafeHandle(), nullptr);
}

TEST(DCText, DrawTextBreaksWordsAndMarksLetters)
{
    NeedGuiApplication();
    QImage image = MakeImage(300, 200);
    CDC dc(image);
    dc.SelectObject(MakeFont(-16, "Arial"));
    dc.SetBkMode(TRANSPARENT);
    const int lineHeight = dc.GetTextExtent("x").cy;
    const int widest = dc.GetTextExtent("Panev\xEB\xFEys").cx; // "Panevėžys"
    const std::string text = "Kaunas Panev\xEB\xFEys Vilnius";

    // Each word is too wide to share a line with another.
    CRect box(10, 10, 10 + widest + 2, 200);
    CRect measured = box;
    EXPECT_EQ(dc.DrawText(text, &measured, DT_WORDBREAK | DT_CALCRECT), 3 * lineHeight);
    EXPECT_EQ(measured, CRect(10, 10, 10 + widest, 10 + 3 * lineHeight));
    EXPECT_TRUE(Ink(image).IsRectEmpty());
    EXPECT_EQ(dc.DrawText(text, &box, DT_WORDBREAK), 3 * lineHeight);
    const CRect ink = Ink(image);
    EXPECT_GE(ink.top, 10);
    EXPECT_GT(ink.bottom, 10 + 2 * lineHeight);
    EXPECT_LE(ink.bottom, 10 + 3 * lineHeight);
    EXPECT_LE(ink.right, 10 + widest + 2);

    // A word wider than the line passes the edge, unless DT_EDITCONTROL
    // breaks it inside; every piece then fits and nothing is lost.
    const std::string word(40, 'W');
    CRect narrow(0, 0, 100, 0);
    EXPECT_EQ(dc.DrawText(word, &narrow, DT_WORDBREAK | DT_CALCRECT), lineHeight);
    EXPECT_GT(narrow.right, 100);
    CRect broken(0, 0, 100, 0);
    const int brokenHeight = dc.DrawText("ab " + word, &broken, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT);
    EXPECT_LE(broken.right, 100);
    const int pieces = (dc.GetTextExtent(word).cx + 99) / 100;
    EXPECT_GE(brokenHeight, (pieces + 1) * lineHeight);
    EXPECT_LE(brokenHeight, (pieces + 2) * lineHeight);
    CRect tiny(0, 0, 1, 0);
    EXPECT_EQ(dc.DrawText("WWW", &tiny, DT_WORDBREAK | DT_EDITCONTROL | DT_CALCRECT), 3 * lineHeight);

    // A calculated rectangle holds its text broken as it was measured,
    // whatever the widths of the pieces add up to.
    QImage scratch = MakeImage(1, 1);
    CDC small(scratch);
    CFont dialog;
    dialog.CreatePointFont(80, "MS Sans Serif");
    small.SelectObject(dialog);
    const std::string path = "\"C:\\\xDE" "em\xEBlapiai\\Vilnius\\gatv\xEBs.gdb\"";
    const std::string message = "Nepavyko atidaryti failo " + path + " ir kit\xE0 kart\xE0.";
    for (int width = 60; width <= 420; width += 3) {
        for (const unsigned format : {DT_WORDBREAK | DT_NOPREFIX, DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX}) {
            // Without DT_EDITCONTROL a wider word widens the rectangle.
            if (!(format & DT_EDITCONTROL) && width < small.GetTextExtent(path).cx)
                continue;
            CRect fitted(0, 0, width, 0);
            const int height = small.DrawText(message, &fitted, format | DT_CALCRECT);
            CRect again = fitted;
            EXPECT_EQ(small.DrawText(message, &again, format | DT_CALCRECT), height) << width;
            EXPECT_EQ(again, fitted) << width;
        }
    }

    // Without a word break it is one line, cut at the rectangle.
    CRect one(10, 10, 10 + widest + 2, 200);
    EXPECT_EQ(dc.DrawText(text, &one, DT_SINGLELINE | DT_CALCRECT), lineHeight);
    EXPECT_GT(one.right, 10 + widest + 2);
    image.fill(Qt::white);
    CRect clipped(10, 10, 60, 200);
    dc.DrawText(text, &clipped, DT_SINGLELINE);
    EXPECT_LE(Ink(image).right, 60);
    // Line feeds break lines; centred lines sit in the middle.
    CRect lines(0, 0, 300, 200);
    EXPECT_EQ(dc.DrawText("a\r\nb\nc", &lines, DT_CALCRECT), 3 * lineHeight);
    image.fill(Qt::white);
    CRect centred(0, 0, 300, 100);
    dc.DrawText("x", &centred, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    const CRect x = Ink(image);
    EXPECT_NEAR((x.left + x.right) / 2, 150, 3);
    EXPECT_NEAR((x.top + x.bottom) / 2, 50, lineHeight / 2);

    // '&' marks a letter and "&&" is an ampersand, unless DT_NOPREFIX.
    CRect prefixed(0, 0, 300, 100);
    dc.DrawText("A&&B", &prefixed, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(prefixed.Width(), dc.GetTextExtent("A&B").cx);
    CRect raw(0, 0, 300, 100);
    dc.DrawText("A&&B", &raw, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(raw.Width(), dc.GetTextExtent("A&&B").cx);
    image.fill(Qt::white);
    CRect marked(0, 0, 300, 100);
    dc.DrawText("&aaa", &marked, DT_SINGLELINE);
    const CRect withLine = Ink(image);
    image.fill(Qt::white);
    dc.DrawText("aaa", &marked, DT_SINGLELINE);
    EXPECT_GT(withLine.bottom, Ink(image).bottom);
    EXPECT_EQ(dc.DrawText(text, nullptr, 0), 0);

    // A rectangle 2^31 device pixels wide centres its text on the origin.
    image.fill(Qt::white);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetViewportExt(4, 4);
    CRect huge(-300000000, -300000000, 300000000, 300000000);
    EXPECT_EQ(dc.DrawText("x", &huge, DT_CENTER | DT_VCENTER | DT_SINGLELINE), dc.GetTextExtent("x").cy);
    const CRect far = Ink(image);
    EXPECT_EQ(far.left, 0);
    EXPECT_EQ(far.top, 0);
    EXPECT_LT(far.right, 4 * lineHeight);
}

TEST(DCText, PdfPageWithTextThatReadsBack)
{
    NeedGuiApplication();
    CTempDir dir;
    const std::string path = ResolvePath(dir.File("page.pdf"));
    {
        QPdfWriter writer(QString::fromStdString(path));
        writer.setResolution(600);
        CDC dc(writer);
        EXPECT_TRUE(dc.IsPrinting());
        EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
        EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 600);
        const int width = dc.GetDeviceCaps(HORZRES);
        EXPECT_GT(width, 4000);
        EXPECT_GT(dc.GetDeviceCaps(PHYSICALOFFSETX), 0);
        EXPECT_GT(dc.GetDeviceCaps(PHYSICALOFFSETY), 0);
        EXPECT_EQ(dc.GetDeviceCaps(PHYSICALWIDTH), width + 2 * dc.GetDeviceCaps(PHYSICALOFFSETX));
        EXPECT_GT(dc.GetDeviceCaps(PHYSICALHEIGHT), dc.GetDeviceCaps(VERTRES));
        EXPECT_NEAR(dc.GetDeviceCaps(HORZSIZE), width * 25.4 / 600, 1);
        // What the page loop counts pages with, before it draws.
        const CDC::DeviceInfo described = CDC::DescribeDevice(writer);
        EXPECT_EQ(described.technology, DT_RASPRINTER);
        EXPECT_EQ(described.width, width);
        EXPECT_EQ(described.physicalOffsetX, dc.GetDeviceCaps(PHYSICALOFFSETX));
        EXPECT_EQ(described.physicalHeight, dc.GetDeviceCaps(PHYSICALHEIGHT));
        QImage notPaged(4, 4, QImage::Format_RGB32);
        CDC imageDC(notPaged);
        EXPECT_FALSE(imageDC.NewPage()) << "an image has no pages";

        // Thousandths of an inch, as every drawing context of the map is set.
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(1000, 1000);
        dc.SetViewportExt(600, 600);
        dc.SelectObject(CBrush::FromStock(NULL_BRUSH));
        dc.Rectangle(500, 500, 4500, 2000);
        dc.SelectObject(MakeFont(-222, "Arial Baltic"));
        dc.SetBkMode(TRANSPARENT);
        EXPECT_TRUE(dc.TextOut(700, 1000, kSiauliai));
    }
    std::FILE* pdf = std::fopen(path.c_str(), "rb");
    ASSERT_NE(pdf, nullptr);
    char head[5] = {};
    EXPECT_EQ(std::fread(head, 1, 4, pdf), 4u);
    std::fclose(pdf);
    EXPECT_STREQ(head, "%PDF");

    std::FILE* text = ::popen(("pdftotext -q '" + path + "' - 2>&1").c_str(), "r");
    ASSERT_NE(text, nullptr);
    std::string out;
    char buffer[256];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, text)) > 0;)
        out.append(buffer, n);
    const int status = ::pclose(text);
    ASSERT_EQ(status, 0) << "pdftotext (poppler-utils) failed or is not installed: " << out;
    EXPECT_NE(out.find("\xC5\xA0iauliai"), std::string::npos) << out; // UTF-8
}
