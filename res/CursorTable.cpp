#include "res/CursorTable.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Black strokes in a white rim, so they show on any map; 'r' and 'b' mark
// what the tool is about.
// A pointing hand: a link to open.
constexpr const char* kHand[] = {
    "......kk............",
    ".....kwwk...........",
    ".....kwwk...........",
    ".....kwwk...........",
    ".....kwwk...........",
    ".....kwwkkk.........",
    ".....kwwkwwkkk......",
    ".....kwwkwwkwwkk....",
    ".kk..kwwkwwkwwkwk...",
    "kwwk.kwwwwwwwwkwwk..",
    "kwwwkkwwwwwwwwwwwk..",
    ".kwwwkwwwwwwwwwwwk..",
    "..kwwwwwwwwwwwwwwk..",
    "...kwwwwwwwwwwwwwk..",
    "....kwwwwwwwwwwwk...",
    ".....kwwwwwwwwwwk...",
    "......kwwwwwwwwk....",
    "......kwwwwwwwwk....",
    "......kkkkkkkkkk....",
    "....................",
};
// A flag: route start, finish and intermediate points.
constexpr const char* kRoutePoint[] = {
    ".wwwwwwwwwwww.......",
    ".wkkkkkkkkkkw.......",
    ".wkkrrrrrrrkw.......",
    ".wkkrrrrrrrkw.......",
    ".wkkrrrrrrrkw.......",
    ".wkkrrrrrrrkw.......",
    ".wkkkkkkkkkkw.......",
    ".wkwwwwwwwwww.......",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".wkw................",
    ".www................",
};
// A route flag struck out: a dragged route point let go here is deleted.
constexpr const char* kRemoveRoutePoint[] = {
    ".wwwwwwwwwwww.......",
    ".wkkkkkkkkkkw.......",
    ".wkkrrrrrrrkw.......",
    ".wkkrrrrrrrkw.......",
    ".wkkrrrrrrrkw.......",
    ".wkkrrrrrrrkw.......",
    ".wkkkkkkkkkkw.......",
    ".wkwwwwwwwwww.......",
    ".wkw................",
    ".wkw.....ww.....ww..",
    ".wkw....wkkw...wkkw.",
    ".wkw.....wkkw.wkkw..",
    ".wkw......wkkwkkw...",
    ".wkw.......wkkkw....",
    ".wkw......wkkwkkw...",
    ".wkw.....wkkw.wkkw..",
    ".wkw....wkkw...wkkw.",
    ".wkw.....ww.....ww..",
    ".wkw................",
    ".www................",
};
// Cross hairs with a measured stretch: distances.
constexpr const char* kMeasureLine[] = {
    "....................",
    "........www.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    ".wwwwwwwwwwwwwwwww..",
    ".wkkkkkkw.wkkkkkkw..",
    ".wwwwwwwwwwwwwwwww..",
    "........wkw.........",
    "........wkw.........",
    "........wkwwww...www",
    "........wkwwkwwwwwkw",
    "........wkwwkkkkkkkw",
    "........wkwwkwwwwwkw",
    "........wwwwww...www",
    "....................",
    "....................",
};
// A magnifier with a plus.
constexpr const char* kZoomIn[] = {
    "....................",
    "....wwwwwww.........",
    "..wwwkkkkkwww.......",
    "..wkkkwwwkkkw.......",
    ".wwkwwwwwwwkww......",
    ".wkkw.wkw.wkkw......",
    ".wkwwwwkwwwwkw......",
    ".wkwwkkkkkwwkw......",
    ".wkwwwwkwwwwkw......",
    ".wkkw.wkw.wkkw......",
    ".wwkwwwwwwwkww......",
    "..wkkkwwwkkkkww.....",
    "..wwwkkkkkwkkkww....",
    "....wwwwwwwwkkkww...",
    "...........wwkkkww..",
    "............wwkkkww.",
    ".............wwkkkww",
    "..............wwkkkw",
    "...............wwkww",
    "................www.",
};
// A magnifier with a minus.
constexpr const char* kZoomOut[] = {
    "....................",
    "....wwwwwww.........",
    "..wwwkkkkkwww.......",
    "..wkkkwwwkkkw.......",
    ".wwkwww.wwwkww......",
    ".wkkw.....wkkw......",
    ".wkwwwwwwwwwkw......",
    ".wkwwkkkkkwwkw......",
    ".wkwwwwwwwwwkw......",
    ".wkkw.....wkkw......",
    ".wwkwww.wwwkww......",
    "..wkkkwwwkkkkww.....",
    "..wwwkkkkkwkkkww....",
    "....wwwwwwwwkkkww...",
    "...........wwkkkww..",
    "............wwkkkww.",
    ".............wwkkkww",
    "..............wwkkkw",
    "...............wwkww",
    "................www.",
};
// Cross hairs with an information dot: queries.
constexpr const char* kQuery[] = {
    "......www...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "wwwwwwwwwwwwwww.....",
    "wkkkkkw.wkkkkkw.....",
    "wwwwwwwwwwwwwww.....",
    "......wkw...........",
    "......wkw...........",
    "......wkw...wwwwwww.",
    "......wkw..wwbbbbbww",
    "......wkw..wbbwwwbbw",
    "......www..wbwwbwwbw",
    "...........wbwwwwwbw",
    "...........wbwwbwwbw",
    "...........wbbwwwbbw",
    "...........wwbbbbbww",
    "............wwwwwww.",
};
// Arrows to four sides: moving the map.
constexpr const char* kPan[] = {
    "........www.........",
    ".......wwkww........",
    "......wwkkkww.......",
    ".....wwkkkkkww......",
    ".....wkkkkkkkw......",
    "...wwwwwwkwwwwww....",
    "..wwkw..wkw..wkww...",
    ".wwkkw..wkw..wkkww..",
    "wwkkkwwwwkwwwwkkkww.",
    "wkkkkkkkkkkkkkkkkkw.",
    "wwkkkwwwwkwwwwkkkww.",
    ".wwkkw..wkw..wkkww..",
    "..wwkw..wkw..wkww...",
    "...wwwwwwkwwwwww....",
    ".....wkkkkkkkw......",
    ".....wwkkkkkww......",
    "......wwkkkww.......",
    ".......wwkww........",
    "........www.........",
    "....................",
};
// Cross hairs with a polygon: areas.
constexpr const char* kMeasureArea[] = {
    "......www...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "wwwwwwwwwwwwwww.....",
    "wkkkkkw.wkkkkkw.....",
    "wwwwwwwwwwwwwww.....",
    "......wkw...........",
    "......wkw...........",
    "......wkw..wwwww....",
    "......wkw..wkkkwwwww",
    "......wkw..wkwwkkkkw",
    "......www.wwkwwwwwkw",
    "..........wkww..wkww",
    "..........wkwwwwwkw.",
    "..........wkkkwwkww.",
    "..........wwwwkkkw..",
    ".............wwwww..",
};
// Arrows with a flag: moving a route point.
constexpr const char* kMoveRoutePoint[] = {
    "........wwwwwwwwww..",
    ".......wwkwkrrrrrw..",
    "......wwkkkkrrrrrw..",
    ".....wwkkkkkrrrrrw..",
    ".....wkkkkkkrrrrrw..",
    "...wwwwwwkwkwwwwww..",
    "..wwkw..wkwkwwkww...",
    ".wwkkw..wkwkwwkkww..",
    "wwkkkwwwwkwwwwkkkww.",
    "wkkkkkkkkkkkkkkkkkw.",
    "wwkkkwwwwkwwwwkkkww.",
    ".wwkkw..wkw..wkkww..",
    "..wwkw..wkw..wkww...",
    "...wwwwwwkwwwwww....",
    ".....wkkkkkkkw......",
    ".....wwkkkkkww......",
    "......wwkkkww.......",
    ".......wwkww........",
    "........www.........",
    "....................",
};
// An arrow with a box: selecting objects.
constexpr const char* kSelect[] = {
    "www.................",
    "wkww................",
    "wkkww...............",
    "wkkkww..............",
    "wkkkkww.............",
    "wkkkkkww............",
    "wkkkkkkww...........",
    "wkkkkkkkww..........",
    "wkkkkkkkkww.........",
    "wkkkkkkkkkw.........",
    "wkkkkkkwwww.........",
    "wkkwkkkww..wwwwwwww.",
    "wkwwwkkkw..wbbbbbbw.",
    "www.wkkkw..wbwwwwbw.",
    "....wwkkw..wbw..wbw.",
    ".....wwww..wbw..wbw.",
    "...........wbwwwwbw.",
    "...........wbbbbbbw.",
    "...........wwwwwwww.",
    "....................",
};
// Cross hairs with an N: azimuths.
constexpr const char* kAzimuth[] = {
    "......www...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "wwwwwwwwwwwwwww.....",
    "wkkkkkw.wkkkkkw.....",
    "wwwwwwwwwwwwwww.....",
    "......wkw...........",
    "......wkw...........",
    "......wkw...www.www.",
    "......wkw...wkwwwkw.",
    "......wkw...wkkwwkw.",
    "......www...wkkwwkw.",
    "............wkwkwkw.",
    "............wkwwkkw.",
    "............wkwwkkw.",
    "............wkwwwkw.",
    "............www.www.",
};
// An arrow with vertices: editing a line.
constexpr const char* kEditVertices[] = {
    "www.................",
    "wkww................",
    "wkkww...............",
    "wkkkww..............",
    "wkkkkww.............",
    "wkkkkkww............",
    "wkkkkkkww...........",
    "wkkkkkkkww..........",
    "wkkkkkkkkww.........",
    "wkkkkkkkkkw.........",
    "wkkkkkkwwww.........",
    "wkkwkkkww..wwwww....",
    "wkwwwkkkw..wbbbw....",
    "www.wkkkw..wbbbw....",
    "....wwkkw..wbbbww...",
    ".....wwww..wwwwbwwww",
    "..............wwbbbw",
    "...............wbbbw",
    "...............wbbbw",
    "...............wwwww",
};
// A pin with a plus: adding a placemark.
constexpr const char* kAddPlacemark[] = {
    "....................",
    "...wwwwwww..........",
    "..wwrrrrrww.........",
    "..wrrwwwrrw.........",
    "..wrwrrrwrw.........",
    "..wrwrrrwrw.........",
    "..wrwrrrwrw.........",
    "..wrrwwwrrw.........",
    "..wwrrrrrww.........",
    "...wwwkwww..........",
    ".....wkw.....www....",
    ".....wkw.....wkw....",
    ".....wkw.....wkw....",
    ".....wkw..wwwwkwwww.",
    ".....wkw..wkkkkkkkw.",
    ".....wkw..wwwwkwwww.",
    ".....wkw.....wkw....",
    ".....wkw.....wkw....",
    ".....wkw.....www....",
    ".....www............",
};
// A pencil: drawing an object.
constexpr const char* kDraw[] = {
    ".............www....",
    "............wwkww...",
    "...........wwkwkww..",
    "..........wwkwwwkww.",
    ".........wwkww.wwkww",
    "........wwkww...wwkw",
    ".......wwkww...wwkww",
    "......wwkww...wwkww.",
    ".....wwkww...wwkww..",
    "....wwkww...wwkww...",
    "...wwkww...wwkww....",
    "...wkww...wwkww.....",
    "..wwkw...wwkww......",
    "..wkww..wwkww.......",
    "..wkwwwwwkww........",
    ".wwkkwwkkww.........",
    ".wkwkkkwww..........",
    ".wkkwwww............",
    ".wwww...............",
    "....................",
};
// An arrow with a cross: deleting.
constexpr const char* kDelete[] = {
    "www.................",
    "wkww................",
    "wkkww...............",
    "wkkkww..............",
    "wkkkkww.............",
    "wkkkkkww............",
    "wkkkkkkww...........",
    "wkkkkkkkww..........",
    "wkkkkkkkkww.........",
    "wkkkkkkkkkw.........",
    "wkkkkkkwwww.........",
    "wkkwkkkww..wwww.wwww",
    "wkwwwkkkw..wrrwwwrrw",
    "www.wkkkw..wwrrwrrww",
    "....wwkkw...wwrrrww.",
    ".....wwww...wwrrrww.",
    "...........wwrrwrrww",
    "...........wrrwwwrrw",
    "...........wwww.wwww",
    "....................",
};
// Cross hairs with a ring: buffer zones.
constexpr const char* kBufferZone[] = {
    "......www...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "......wkw...........",
    "wwwwwwwwwwwwwww.....",
    "wkkkkkw.wkkkkkw.....",
    "wwwwwwwwwwwwwww.....",
    "......wkw..wwwwwww..",
    "......wkw.wwbbbbbww.",
    "......wkwwwbbwwwbbww",
    "......wkwwbbww.wwbbw",
    "......wkwwbww...wwbw",
    "......wwwwbw.....wbw",
    ".........wbww...wwbw",
    ".........wbbww.wwbbw",
    ".........wwbbwwwbbww",
    "..........wwbbbbbww.",
    "...........wwwwwww..",
};
// Cross hairs with a point: coordinates.
constexpr const char* kPointCoordinates[] = {
    "........www.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........www.........",
    "wwwwwwwwwwwwwwwwwww.",
    "wkkkkkkwwkwwkkkkkkw.",
    "wwwwwwwwwwwwwwwwwww.",
    "........www.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........wkw.........",
    "........www.........",
    "....................",
};

constexpr CursorResource kCursors[] = {
    {110, 20, 20, 6, 0, kHand},
    {112, 20, 20, 2, 18, kRoutePoint},
    {113, 20, 20, 9, 9, kMeasureLine},
    {114, 20, 20, 7, 7, kZoomIn},
    {115, 20, 20, 7, 7, kZoomOut},
    {116, 20, 20, 7, 7, kQuery},
    {117, 20, 20, 9, 9, kPan},
    {118, 20, 20, 7, 7, kMeasureArea},
    {174, 20, 20, 9, 9, kMoveRoutePoint},
    {175, 20, 20, 1, 1, kSelect},
    {184, 20, 20, 7, 7, kAzimuth},
    {363, 20, 20, 1, 1, kEditVertices},
    {401, 20, 20, 6, 18, kAddPlacemark},
    {1075, 20, 20, 2, 17, kDraw},
    {1077, 20, 20, 1, 1, kDelete},
    {1080, 20, 20, 7, 7, kBufferZone},
    {1087, 20, 20, 9, 9, kPointCoordinates},
    {30982, 20, 20, 2, 18, kRemoveRoutePoint},
};

constexpr bool SizesMatch()
{
    for (const CursorResource& c : kCursors) {
        if (static_cast<int>(c.rows.size()) != c.height || c.hotX < 0 || c.hotX >= c.width || c.hotY < 0 ||
            c.hotY >= c.height)
            return false;
        for (const char* row : c.rows)
            if (std::char_traits<char>::length(row) != static_cast<std::size_t>(c.width))
                return false;
    }
    return true;
}
static_assert(SizesMatch(), "every cursor has its height in rows of its width and its hot spot inside");

} // namespace

const CursorResource* FindCursorResource(int id)
{
    auto it = std::find_if(std::begin(kCursors), std::end(kCursors), [id](const CursorResource& c) { return c.id == id; });
    return it == std::end(kCursors) ? nullptr : &*it;
}

std::span<const CursorResource> CursorResources()
{
    return kCursors;
}
