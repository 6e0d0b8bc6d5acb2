#pragma once

#include <cstdint>
#include <span>

// The program's own small pictures (check states, folder and layer-type
// marks), drawn as text: one character a pixel, rows top first, each
// character a colour of one palette, '.' transparent.
struct BitmapResource {
    int id;
    int width;
    int height;
    std::span<const char* const> rows;
};

// Null when there is none.
const BitmapResource* FindBitmapResource(int id);
// The colour 0xAARRGGBB of a picture character; unknown ones are transparent.
std::uint32_t BitmapPixelColour(char c);
