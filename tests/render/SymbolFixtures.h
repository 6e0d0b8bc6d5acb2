#pragma once

#include "platform/AppFolders.h"
#include "platform/DC.h"
#include "render/IconLibrary.h"
#include "render/PictureCache.h"
#include "render/SymbolLibrary.h"
#include "tests/render/PictureFixtures.h"
#include "tests/support/TestSupport.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// Icon files, icon libraries and contexts of the symbol and picture tests.

// An icon file of one 32-bit picture; colour(x, y) is 0xAARRGGBB, y = 0 the top row.
inline std::string IcoFile(int width, int height, const std::function<std::uint32_t(int, int)>& colour)
{
    CByteWriter image;
    image.Raw(InfoHeader({40, width, 2 * height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}));
    for (int y = height - 1; y >= 0; --y)
        for (int x = 0; x < width; ++x)
            image.U32(colour(x, y));
    const int maskStride = ((width + 31) / 32) * 4;
    for (int y = height - 1; y >= 0; --y) {
        std::vector<unsigned> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < width; ++x)
            if ((colour(x, y) >> 24) == 0)
                row[static_cast<std::size_t>(x / 8)] |= 0x80u >> (x % 8);
        for (unsigned b : row)
            image.U8(b);
    }
    CByteWriter file;
    file.U16(0).U16(1).U16(1);
    file.U8(static_cast<unsigned>(width)).U8(static_cast<unsigned>(height)).U8(0).U8(0).U16(1).U16(32);
    file.U32(static_cast<std::uint32_t>(image.Size())).U32(22);
    return file.Str() + image.Str();
}

// An opaque icon of one colour (0xRRGGBB).
inline std::string SolidIco(int size, std::uint32_t rgb)
{
    return IcoFile(size, size, [rgb](int, int) { return 0xFF000000u | rgb; });
}

// An icon library that hands out one-colour icons and counts what it is asked.
class CFakeIconLibrary : public IIconLibrary {
public:
    int count = 0;
    std::map<int, int> extracted; // index to the number of times
    int GetIconCount() override { return count; }
    bool ExtractIcon(int index, CIcon& icon) override
    {
        ++extracted[index];
        if (index < 0 || index >= count)
            return false;
        const std::uint32_t pixel = 0xFF000000u | IconColour(index);
        std::vector<std::uint32_t> pixels(32 * 32, pixel);
        return icon.CreateFromPixels(32, 32, pixels.data());
    }
    // A colour for each index (0xRRGGBB).
    static std::uint32_t IconColour(int index) { return 0x102030u + static_cast<std::uint32_t>(index) * 0x050301u; }
    static COLORREF IconColourRef(int index)
    {
        const std::uint32_t c = IconColour(index);
        return RGB((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
    }
};

// The program and user folders in a fresh folder, the symbol library and
// the symbol picture cache started afresh, an icon library of its own;
// all put back when it goes.
class CSymbolWorld {
public:
    CSymbolWorld()
    {
        SetProgramFolderForTesting(m_program.Path());
        SetUserFolderForTesting(m_user.Path());
        SetIconLibrary(&icons);
        SymbolLibrary().Release();
        SymbolPictureCache().RemoveAll();
    }
    ~CSymbolWorld()
    {
        SymbolLibrary().Release();
        SymbolPictureCache().RemoveAll();
        SetIconLibrary(nullptr);
        SetProgramFolderForTesting("");
        SetUserFolderForTesting("");
    }
    CSymbolWorld(const CSymbolWorld&) = delete;
    CSymbolWorld& operator=(const CSymbolWorld&) = delete;

    const CTempDir& ProgramFolder() const { return m_program; }
    const CTempDir& UserFolder() const { return m_user; }
    // Writes a file under the user folder ("Symbols/42.ico"), making its folder.
    std::string WriteUserFile(const std::string& name, const std::string& bytes) const
    {
        const std::string path = WritableProgramFile(name);
        WriteWholeFile(path, bytes);
        return path;
    }

    CFakeIconLibrary icons;

private:
    CTempDir m_program;
    CTempDir m_user;
};

// One logical unit a thousandth of an inch, on a device of dpi x dpi.
inline void SetThousandths(CDC& dc, int dpi)
{
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(1000, 1000);
    dc.SetViewportExt(dpi, dpi);
}
