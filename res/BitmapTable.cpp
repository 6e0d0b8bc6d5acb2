#include "res/BitmapTable.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace {

struct PaletteEntry {
    char c;
    std::uint32_t argb;
};

constexpr PaletteEntry kPalette[] = {
    {'k', 0xFF000000}, // black
    {'w', 0xFFFFFFFF}, // white
    {'d', 0xFF404040}, // dark grey
    {'g', 0xFF808080}, // grey
    {'p', 0xFFE0E0E0}, // pale grey
    {'y', 0xFFF0C850}, // folder yellow
    {'Y', 0xFFFFE8A0}, // folder light
    {'o', 0xFFB08828}, // folder edge
    {'b', 0xFF2050D0}, // blue
    {'s', 0xFFA8D8F8}, // sky
    {'G', 0xFF2E7D32}, // dark green
    {'L', 0xFF8BC34A}, // light green
    {'e', 0xFFD7B56D}, // sand
    {'n', 0xFF8D6E63}, // brown
    {'N', 0xFF5D4037}, // dark brown
    {'r', 0xFFD03020}, // red
    {'v', 0xFF50C050}, // seen
    {'h', 0xFFA0A0A0}, // unseen
};

// An unticked check box.
constexpr const char* kUnchecked[] = {
    "ddddddddddddd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "ddddddddddddd",
};
// A ticked check box.
constexpr const char* kChecked[] = {
    "ddddddddddddd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwkwwd",
    "dwwwwwwwkkwwd",
    "dwwkwwwkkkwwd",
    "dwwkkwkkkwwwd",
    "dwwkkkkkwwwwd",
    "dwwwkkkwwwwwd",
    "dwwwwkwwwwwwd",
    "dwwwwwwwwwwwd",
    "dwwwwwwwwwwwd",
    "ddddddddddddd",
};
// A funnel: the layer has a filter.
constexpr const char* kFilterMark[] = {
    "kkkkkkkkkkk.",
    "kbbbbbbbbbk.",
    ".kbbbbbbbk..",
    "..kbbbbbk...",
    "...kbbbk....",
    "....kbk.....",
    "....kbk.....",
    "....kbk.....",
    "....kbk.....",
    "....kbk.....",
    "....kkk.....",
    "............",
};
// A framed landscape: a raster map.
constexpr const char* kRasterMap[] = {
    ".dddddddddddddddddddddddddddddd.",
    ".dssssssssssssssssssssssssssssd.",
    ".dssssssssssssssssssssssssssssd.",
    ".dsssssssssssssssssssssyyyysssd.",
    ".dsssssssssssssssssssssyyyysssd.",
    ".dsssssssssssssssssssssyyyysssd.",
    ".dsssssssLLLLLLLLLsssssyyyysssd.",
    ".dsssLLLLLLLLLLLLLLLLLssssssssd.",
    ".dLLLLLLLLLLLLLLLLLLLLLLLsssssd.",
    ".dLLLLLLLLLLLLLLLLLLLLLLLLLLssd.",
    ".dGGGGGGGLLLLLLLLLLLLLLLLLLLLLd.",
    ".dGGGGGGGGGLLLLLLLLLLLLLLLLLGGd.",
    ".dGGGGGGGGGGGGLLLLLLLLLLLGGGGGd.",
    ".dGGGGGGGGGGGGGGGGGGGGGGGGGGGGd.",
    ".dGGGGGGGGGGGGGGGGGGGGGGGGGGGGd.",
    ".dddddddddddddddddddddddddddddd.",
};
// Peaks in height tints under a sky: an elevation model.
constexpr const char* kElevation[] = {
    ".dddddddddddddddddddddddddddddd.",
    ".dssssssssssssssssssssssssssssd.",
    ".dssssssssswssssssssssssssssssd.",
    ".dssssssssswssssssssssssssssssd.",
    ".dsssssssswwwsssssssssssssssssd.",
    ".dsssssssnnnnnssssssssnsssssssd.",
    ".dssssssnnnnnnnsssssssnsssssssd.",
    ".dssssseeeeeeeeessssseeessssssd.",
    ".dsssseeeeeeeeeeessseeeeesssssd.",
    ".dsssLLLLLLLLLLLLLsLLLLLLLssssd.",
    ".dsssLLLLLLLLLLLLLLLLLLLLLLsssd.",
    ".dssLLLLLLLLLLLLLLLLLLLLLLLLssd.",
    ".dsGGGGGGGGGGGGGGGGGGGGGGGGGGsd.",
    ".dGGGGGGGGGGGGGGGGGGGGGGGGGGGGd.",
    ".dGGGGGGGGGGGGGGGGGGGGGGGGGGGGd.",
    ".dddddddddddddddddddddddddddddd.",
};
// A mast sending waves: field strengths.
constexpr const char* kFieldStrength[] = {
    ".dddddddddddddddddddddddddddddd.",
    ".dwwwywwwowwwwwwwwwwwwowwwywwwd.",
    ".dwwwywwowwwrwwwwwwrwwwowwywwwd.",
    ".dwwyywwowwwrwwrrwwrwwwowwyywwd.",
    ".dwwyywwowwrrwwrrwwrrwwowwyywwd.",
    ".dwwyywwowwwrwwddwwrwwwowwyywwd.",
    ".dwwwywwowwwrwwddwwrwwwowwywwwd.",
    ".dwwwywwwowwwwdwwdwwwwowwwywwwd.",
    ".dwwwywwwowwwwddddwwwwowwwywwwd.",
    ".dwwwwywwwwwwwdwwdwwwwwwwywwwwd.",
    ".dwwwwywwwwwwdwwwwdwwwwwwywwwwd.",
    ".dwwwwwywwwwwddddddwwwwwywwwwwd.",
    ".dwwwwwwwwwwwdwwwwdwwwwwwwwwwwd.",
    ".dwwwwwwwwwwdwwwwwwdwwwwwwwwwwd.",
    ".dwwwwwwwwwwddddddddwwwwwwwwwwd.",
    ".dddddddddddddddddddddddddddddd.",
};
// Seen and unseen patches: visibility zones.
constexpr const char* kVisibility[] = {
    ".dddddddddddddddddddddddddddddd.",
    ".dvvvvvhhhhhhhhhhvvhhhhhhhhhvvd.",
    ".dvvvvhhhhhhhhhhvvvvvhhhhhhvvvd.",
    ".dhvvhhhhhhhhhhvvvvvvvhhhhhvvvd.",
    ".dhhvhhhhhhhhhvvvvvvvvvhhhhvvvd.",
    ".dhvvvvhhhhhhvvvvvvvvvvhhhhhvvd.",
    ".dvvvvvvvhhhhvvvvvvvvvhhhhhhhhd.",
    ".dvvvvvvvvhhhhvvvvvvvhhhhhhhhhd.",
    ".dvvvvvvvhhhhhhvvvvvhhhhhhhhhhd.",
    ".dvvvvvvhhhhhhhhvvvhhhhhhhhhhvd.",
    ".dvvvvvhhhhhhhhhhvhhhhhhhhhhvvd.",
    ".dvvvvhhhhhhhhhhhvvhhhhhhhhvvvd.",
    ".dvvvhhhhhhhhhhvvvvvvvvvhhvvvvd.",
    ".dhvhhhhhhhhhhvvvvvvvvvvhhhhvvd.",
    ".dvvvvhhhhhhhvvvvvvvvvvhhhhhvvd.",
    ".dddddddddddddddddddddddddddddd.",
};
// A closed folder: a layer group.
constexpr const char* kFolder[] = {
    "................................",
    "........oooooo..................",
    ".......oYYYYYYo.................",
    ".......oooooooooooooooooo.......",
    ".......oYYYYYYYYYYYYYYYYo.......",
    ".......oyyyyyyyyyyyyyyyyo.......",
    ".......oyyyyyyyyyyyyyyyyo.......",
    ".......oyyyyyyyyyyyyyyyyo.......",
    ".......oyyyyyyyyyyyyyyyyo.......",
    ".......oyyyyyyyyyyyyyyyyo.......",
    ".......oyyyyyyyyyyyyyyyyo.......",
    ".......oyyyyyyyyyyyyyyyyo.......",
    ".......oyyyyyyyyyyyyyyyyo.......",
    ".......oooooooooooooooooo.......",
    "................................",
    "................................",
};
// An open folder with an arrow up: back to the enclosing group.
constexpr const char* kFolderUp[] = {
    "................................",
    "...oooooo.......................",
    "..oYYYYYYo......................",
    "..oooooooooooooooooo......GG....",
    "..oYYYYYYYYYYYYYYYYo.....GGGG...",
    "..oyyyyyyyyyyyyyyyyo....GGGGGG..",
    "..oyyyyyyyyyyyyyyyyo...GGGGGGGG.",
    "..oyyoooooooooooooooo.....GG....",
    "..oyyyoYYYYYYYYYYYYYo.....GG....",
    "..oyyyoYYYYYYYYYYYYYo.....GG....",
    "..oyyoYYYYYYYYYYYYYYo.....GG....",
    "..oyyoYYYYYYYYYYYYYYo.....GG....",
    "..oyoYYYYYYYYYYYYYYYo.....GG....",
    "..ooooooooooooooooooo.....GG....",
    "................................",
    "................................",
};
// A greyed ticked box: a group whose layers are partly shown.
constexpr const char* kPartlyChecked[] = {
    "ddddddddddddd",
    "dpppppppppppd",
    "dpppppppppppd",
    "dppppppppgppd",
    "dpppppppggppd",
    "dppgpppgggppd",
    "dppggpgggpppd",
    "dppgggggppppd",
    "dpppgggpppppd",
    "dppppgppppppd",
    "dpppppppppppd",
    "dpppppppppppd",
    "ddddddddddddd",
};
// The check tree's states side by side, 16 pixels each: unchecked,
// checked, partly checked.
constexpr const char* kCheckTreeStates[] = {
    "................................................",
    ".ddddddddddddd...ddddddddddddd...ddddddddddddd..",
    ".dwwwwwwwwwwwd...dwwwwwwwwwwwd...dpppppppppppd..",
    ".dwwwwwwwwwwwd...dwwwwwwwwwwwd...dpppppppppppd..",
    ".dwwwwwwwwwwwd...dwwwwwwwwkwwd...dppppppppgppd..",
    ".dwwwwwwwwwwwd...dwwwwwwwkkwwd...dpppppppggppd..",
    ".dwwwwwwwwwwwd...dwwkwwwkkkwwd...dppgpppgggppd..",
    ".dwwwwwwwwwwwd...dwwkkwkkkwwwd...dppggpgggpppd..",
    ".dwwwwwwwwwwwd...dwwkkkkkwwwwd...dppgggggppppd..",
    ".dwwwwwwwwwwwd...dwwwkkkwwwwwd...dpppgggpppppd..",
    ".dwwwwwwwwwwwd...dwwwwkwwwwwwd...dppppgppppppd..",
    ".dwwwwwwwwwwwd...dwwwwwwwwwwwd...dpppppppppppd..",
    ".dwwwwwwwwwwwd...dwwwwwwwwwwwd...dpppppppppppd..",
    ".ddddddddddddd...ddddddddddddd...ddddddddddddd..",
    "................................................",
    "................................................",
};
// The marker of a found point: an arrow whose tip stands just below the
// point, three pixels in from the picture's left.
constexpr const char* kFoundPointMarker[] = {
    "...w............................",
    "..wkw...........................",
    "..wkkw..........................",
    "..wkrkw.........................",
    "..wkrrkw........................",
    "..wkrrrkw.......................",
    "..wkrrrrkw......................",
    "..wkrrrrrkw.....................",
    "..wkrrrrrrkw....................",
    "..wkrrrrrrrkw...................",
    "..wkrrrrrrrrkw..................",
    "..wkrrrrrrrrrkw.................",
    "..wkrrrrrrrrrrkw................",
    "..wkrrrrrrrrrrrkw...............",
    "..wkrrrrrrrrrrrrkw..............",
    "..wkrrrrrrrrkkkkkkw.............",
    "..wkrrrkrrrkwwwwww..............",
    "..wkrrkwkrrkw...................",
    "..wkrkw.wkrrkw..................",
    "..wkkw..wkrrkw..................",
    "..wkw....wkrrkw.................",
    "...w.....wkrrkw.................",
    ".........wkrrrkw................",
    "..........wkrrkw................",
    "..........wkrrkw................",
    "...........wkkw.................",
    "............ww..................",
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
};

// A framed landscape: the picture windows.
constexpr const char* kPictureWindow[] = {
    "kkkkkkkkkkkkkkkk",
    "kwwwwwwwwwwwwwwk",
    "kwsssssssssssssk",
    "kwsssssssyyssssk",
    "kwssssssyyyysssk",
    "kwssssssyyyysssk",
    "kwsssssssyyssssk",
    "kwssssLssssssssk",
    "kwsssLLLsssssssk",
    "kwssLLLLLssGsssk",
    "kwsLLLLLLLGGGssk",
    "kwLLLLLLLGGGGGsk",
    "kwLLLLLLGGGGGGGk",
    "kwGGGGGGGGGGGGGk",
    "kwwwwwwwwwwwwwwk",
    "kkkkkkkkkkkkkkkk",
};
// A pin on a bar: the anchor point taken from the picture.
constexpr const char* kAnchorInPicture[] = {
    "................",
    ".......kk.......",
    "......krrk......",
    ".....krrrrk.....",
    ".....krrrrk.....",
    "......krrk......",
    ".......kk.......",
    ".......kk.......",
    ".......kk.......",
    ".......kk.......",
    ".......kk.......",
    ".......kk.......",
    "..kkkkkkkkkkkk..",
    "..kwwwwwwwwwwk..",
    "..kkkkkkkkkkkk..",
    "................",
};
// An eye dropper over a chequer: the transparent colour taken from the picture.
constexpr const char* kTransparentInPicture[] = {
    ".........kkk....",
    "........kkkkk...",
    ".......kkkkkkk..",
    "......kkkkkkkkk.",
    ".......kkkkkkk..",
    "......kwkkkkk...",
    ".....kwwwkkk....",
    "....kwwwkk......",
    "...kwwwk.k......",
    "..kwwwk.........",
    ".kwwwk..........",
    ".kwwk...........",
    "kkkk..pwpwpwpw..",
    "kk....wpwpwpwp..",
    "......pwpwpwpw..",
    "......wpwpwpwp..",
};

constexpr BitmapResource kBitmaps[] = {
    {104, 13, 13, kUnchecked},
    {105, 13, 13, kChecked},
    {128, 16, 16, kPictureWindow},
    {136, 32, 32, kFoundPointMarker},
    {137, 16, 16, kAnchorInPicture},
    {139, 16, 16, kTransparentInPicture},
    {216, 12, 12, kFilterMark},
    {223, 32, 16, kRasterMap},
    {244, 32, 16, kElevation},
    {245, 32, 16, kFieldStrength},
    {267, 32, 16, kVisibility},
    {323, 32, 16, kFolder},
    {324, 32, 16, kFolderUp},
    {325, 13, 13, kPartlyChecked},
    {375, 48, 16, kCheckTreeStates},
};

constexpr bool SizesMatch()
{
    for (const BitmapResource& b : kBitmaps) {
        if (static_cast<int>(b.rows.size()) != b.height)
            return false;
        for (const char* row : b.rows)
            if (static_cast<int>(std::char_traits<char>::length(row)) != b.width)
                return false;
    }
    return true;
}
static_assert(SizesMatch(), "every picture has its height in rows of its width");

} // namespace

const BitmapResource* FindBitmapResource(int id)
{
    auto it = std::find_if(std::begin(kBitmaps), std::end(kBitmaps), [id](const BitmapResource& b) { return b.id == id; });
    return it == std::end(kBitmaps) ? nullptr : &*it;
}

std::uint32_t BitmapPixelColour(char c)
{
    for (const PaletteEntry& entry : kPalette)
        if (entry.c == c)
            return entry.argb;
    return 0;
}
