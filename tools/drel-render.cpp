// tool-deps: drel_maprender
// Draws a map file into a picture as the map export draws it.
// Usage: drel-render MAP OUT --size WxH [--extent L,B,R,T | --bookmark NAME],
// OUT ending in .png, .pdf, .emf, .wmf or .html.

#include "mapdoc/DrelView.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/UserServices.h"
#include "tools/render/MapPicture.h"
#include "tools/render/MapRenderer.h"
#include "tools/render/RenderCommandLine.h"

#include <QGuiApplication>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& error)
{
    std::fprintf(stderr, "drel-render: %s\n", Cp1257ToUtf8(error).c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    CRenderCommandLine command;
    std::string error;
    if (!command.Parse(std::vector<std::string>(argv + 1, argv + argc), error)) {
        std::fprintf(stderr, "drel-render: %s\n%s", error.c_str(), CRenderCommandLine::Usage().c_str());
        return 2;
    }
    if (command.help) {
        std::fputs(CRenderCommandLine::Usage().c_str(), stdout);
        return 0;
    }
    // Labels need fonts, and fonts an application; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);

    CMapRenderer renderer;
    const std::string out = FromNativePath(command.outPath);
    if (!renderer.Open(FromNativePath(command.mapPath), command.width, command.height, error))
        return Fail(error);
    if (command.hasExtent && !renderer.ShowExtent(command.extent, error))
        return Fail(error);
    if (!command.bookmark.empty() && !renderer.ShowBookmark(Utf8ToCp1257(command.bookmark), error))
        return Fail(error);
    // A layer that cannot be read says so while the map draws: the picture
    // would lack it, so there is none.
    CHeldMessages drawing;
    const bool written = FindMapPictureFormat(out)->write(renderer.View(), out, error);
    drawing.Release();
    if (!written)
        return Fail(error);
    if (!drawing.Messages().empty()) {
        RemoveFile(out);
        for (const CHeldMessages::Message& message : drawing.Messages())
            error += (error.empty() ? "" : "; ") + message.text;
        return Fail(error);
    }
    std::printf("drel-render: wrote %s (%d x %d, scale 1:%.0f)\n", command.outPath.c_str(), command.width,
                command.height, renderer.View().GetScaleDenominator());
    return 0;
}
