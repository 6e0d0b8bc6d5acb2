#pragma once

#include <span>

// The program's own mouse cursors under their resource ids, drawn as text
// like the pictures of BitmapTable.h (one palette character a pixel, '.'
// transparent), with the hot spot the pointer stands for.
struct CursorResource {
    int id;
    int width;
    int height;
    int hotX;
    int hotY;
    std::span<const char* const> rows;
};

// Null when there is none.
const CursorResource* FindCursorResource(int id);
// Every cursor, by id.
std::span<const CursorResource> CursorResources();
