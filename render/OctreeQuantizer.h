#pragma once

#include "platform/Gdi.h"

#include <array>
#include <cstdint>

// Chooses a palette of at most a given number of colours by building an
// octree of the picture's colours and merging the deepest branches
// whenever there are too many leaves. The tree never holds more than the
// working maximum of leaves plus the few one pixel adds, whatever the
// picture's size.
class ColorQuantizer {
public:
    // Colour bits above 7 become 8; the working maximum is at least 16.
    ColorQuantizer(unsigned maxColors, unsigned colorBits);
    virtual ~ColorQuantizer();
    ColorQuantizer(const ColorQuantizer&) = delete;
    ColorQuantizer& operator=(const ColorQuantizer&) = delete;

    // Adds every pixel of a bottom-up DIB of 1, 4, 8 or 24 bits, rows
    // padded to 4 bytes, in stored order; palette pixels add their entry of
    // 'colours', the colour table of 2^bits entries. False, adding nothing,
    // for other depths or a palette picture without colours.
    bool ProcessImage(const std::uint8_t* pixels, const BITMAPINFOHEADER& header, const RGBQUAD* colours);
    // One pixel, then the tree is reduced while it has too many leaves.
    // A count above 1 adds that many pixels of the colour at once, as
    // many single calls would.
    void AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha = 0,
                  std::uint32_t count = 1);

    unsigned GetColorCount() const { return m_leafCount; }
    // Writes the palette: one entry a leaf, or for fewer than 16 colours
    // requested, the leaves merged into that many weighted means. Returns
    // the number of entries written.
    unsigned GetColorTable(RGBQUAD* entries) const;

private:
    struct Node;
    static constexpr int kLevels = 9;

    void Reduce();
    void FreeTree(Node* node);

    Node* m_root = nullptr;
    unsigned m_leafCount = 0;
    // Nodes that are not leaves, newest first, one list a level.
    std::array<Node*, kLevels> m_reducible{};
    unsigned m_maxColors;
    unsigned m_outputMaxColors;
    unsigned m_colorBits;
};
