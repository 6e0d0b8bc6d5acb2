#pragma once

// Printed pages read back by the tools of poppler-utils: the text with
// the boxes of its words, and the pages as pictures to probe.
#include "platform/Gdi.h"
#include "platform/Rect.h"

#include <QImage>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Runs a shell command; its exit status, and what it printed (errors too).
inline int RunCommand(const std::string& command, std::string& output)
{
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return -1;
    char buffer[512];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    return ::pclose(pipe);
}

// The pages of a PDF rendered at dpi (Linux paths); none when it fails.
// The pictures go into the scratch folder under a name of their own.
inline std::vector<QImage> RenderPdfPages(const std::string& pdf, int dpi, const std::string& scratch)
{
    static int run = 0;
    const std::string prefix = scratch + "/page" + std::to_string(++run);
    std::string output;
    if (RunCommand("pdftoppm -r " + std::to_string(dpi) + " -png '" + pdf + "' '" + prefix + "'", output) != 0)
        return {};
    std::vector<QImage> pages;
    for (int n = 1;; ++n) {
        // pdftoppm numbers with as many digits as the last page needs.
        QImage page;
        for (const char* format : {"%s-%d.png", "%s-%02d.png", "%s-%03d.png"}) {
            char name[1024];
            std::snprintf(name, sizeof name, format, prefix.c_str(), n);
            if (page.load(QString::fromStdString(name)))
                break;
        }
        if (page.isNull())
            return pages;
        pages.push_back(page.convertToFormat(QImage::Format_RGB32));
    }
}

// A word of a page as pdftotext places it, in points from the page's top left.
struct CPdfWord {
    std::string text; // UTF-8
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

inline std::vector<CPdfWord> PdfWords(const std::string& pdf, int page)
{
    std::string html;
    const std::string n = std::to_string(page);
    if (RunCommand("pdftotext -q -bbox -f " + n + " -l " + n + " '" + pdf + "' -", html) != 0)
        return {};
    std::vector<CPdfWord> words;
    for (std::size_t at = html.find("<word "); at != std::string::npos; at = html.find("<word ", at + 1)) {
        CPdfWord word;
        auto value = [&](const char* name) {
            const std::size_t p = html.find(std::string(name) + "=\"", at);
            return p == std::string::npos ? 0.0 : std::atof(html.c_str() + p + std::string(name).size() + 2);
        };
        word.xMin = value("xMin");
        word.yMin = value("yMin");
        word.xMax = value("xMax");
        word.yMax = value("yMax");
        const std::size_t open = html.find('>', at) + 1;
        word.text = html.substr(open, html.find("</word>", open) - open);
        words.push_back(word);
    }
    return words;
}

// With DREL_PICTURE_DIR set, a copy of the file goes there under the
// name, for a person to look at.
inline void KeepForLooking(const std::string& file, const std::string& name)
{
    if (const char* dir = std::getenv("DREL_PICTURE_DIR")) {
        std::string output;
        RunCommand("cp '" + file + "' '" + std::string(dir) + "/" + name + "'", output);
    }
}

inline std::string PdfText(const std::string& pdf)
{
    std::string text;
    RunCommand("pdftotext -q '" + pdf + "' -", text);
    return text;
}

inline COLORREF PixelOf(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The box of the pixels that pass the test; empty when none does.
template <class Test>
CRect InkBox(const QImage& image, Test test)
{
    CRect box(image.width(), image.height(), -1, -1);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(PixelOf(image, x, y))) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box.IsRectEmpty() ? CRect() : box;
}
