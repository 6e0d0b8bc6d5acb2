// fuzz-deps: drel_platform
// Plays bytes as an enhanced and as a placeable Windows metafile into a
// small picture, stretched and mirrored, and into both recording contexts,
// whose metafiles are played again. Playing must leave the context as it
// found it, and what the recording contexts write must read back.
#include "platform/MetaFile.h"
#include "platform/MetaFileDC.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <memory>

// Fontconfig keeps what Qt's font database asked of it until the process
// ends; that is not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Text needs the font database of a GUI application.
void NeedApplication()
{
    static int argc = 1;
    static char name[] = "metafile_fuzz";
    static char* argv[] = {name, nullptr};
    static const std::unique_ptr<QGuiApplication> app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }();
}

void PlayBoth(CDC& dc, const uint8_t* data, size_t size, const CRect& rect)
{
    const int mode = dc.GetMapMode();
    const CSize extent = dc.GetViewportExt();
    PlayEnhMetaFileBits(dc, data, size, rect);
    PlayPlaceableMetaFileBits(dc, data, size, rect);
    Check(dc.GetMapMode() == mode && dc.GetViewportExt() == extent && dc.GetClipRgn(nullptr) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    NeedApplication();
    QImage image(48, 32, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        CDC dc(image);
        PlayBoth(dc, data, size, CRect(2, 2, 46, 30));
        PlayBoth(dc, data, size, CRect(40, 30, 4, 1));
    }
    CMetaFileDC enhanced;
    Check(enhanced.CreateEnhanced(nullptr, CRect(0, 0, 1000, 700)));
    PlayBoth(enhanced, data, size, CRect(0, 0, 37, 26));
    CMetaFileDC placeable;
    Check(placeable.Create(nullptr, CRect(0, 0, 400, 300)));
    placeable.SetMapMode(MM_ANISOTROPIC);
    placeable.SetWindowExt(1000, 1000);
    placeable.SetViewportExt(96, 96);
    PlayBoth(placeable, data, size, CRect(0, 0, 400, 300));
    for (CMetaFileDC* recorder : {&enhanced, &placeable}) {
        const CMetaFile file = recorder->Close();
        Check(!file.IsEmpty());
        CDC dc(image);
        Check(file.Play(dc, CRect(0, 0, 48, 32)));
    }
    return 0;
}
