#pragma once

#include "platform/Gdi.h"
#include "tests/render/PictureFixtures.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// GIF files written by the tests' own encoder: screen, colour tables,
// graphic control and other extensions, frames with their LZW data.

// LZW codes (code, width in bits) packed least significant bit first into
// sub-blocks of at most 255 bytes, with the terminator unless cut.
inline std::string GifSubBlocks(const std::string& data, bool terminate = true)
{
    std::string out;
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        out += static_cast<char>(n);
        out += data.substr(at, n);
    }
    if (terminate)
        out += '\0';
    return out;
}

inline std::string GifPackCodes(const std::vector<std::pair<int, int>>& codes)
{
    std::string bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (const auto& [code, width] : codes) {
        bits |= std::uint32_t(code) << count;
        count += width;
        while (count >= 8) {
            bytes += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    }
    if (count > 0)
        bytes += static_cast<char>(bits & 0xFF);
    return bytes;
}

// What the encoder did, for tests that need a case to have happened.
struct GifLzwStats {
    int codes = 0;
    // Codes that named the entry made just before them: the decoder meets
    // each as the code equal to its next free slot.
    int nextFreeSlot = 0;
    int clears = 0;
    int tableFull = 0;
};

// The LZW codes of the indexes, as giflib's encoder makes them: a clear
// code first and, unless 'deferredClear', again when the table is full;
// with it, the full table is kept until the end.
inline std::vector<std::pair<int, int>> GifLzwCodes(const std::vector<int>& indices, int codeSize, bool deferredClear,
                                                    GifLzwStats* stats = nullptr)
{
    GifLzwStats s;
    std::vector<std::pair<int, int>> codes;
    const int clear = 1 << codeSize, end = clear + 1;
    int width = codeSize + 1;
    int next = clear + 2;
    int lastAdded = -1;
    std::map<std::pair<int, int>, int> table;
    const auto output = [&](int code) {
        codes.emplace_back(code, width);
        ++s.codes;
        if (code == lastAdded)
            ++s.nextFreeSlot;
        if (next >= (1 << width) && width < 12)
            ++width;
    };
    output(clear);
    ++s.clears;
    if (indices.empty()) {
        output(end);
        if (stats)
            *stats = s;
        return codes;
    }
    int current = indices[0];
    for (std::size_t i = 1; i < indices.size(); ++i) {
        const int pixel = indices[i];
        const auto found = table.find({current, pixel});
        if (found != table.end()) {
            current = found->second;
            continue;
        }
        output(current);
        lastAdded = -1;
        current = pixel;
        if (next >= 4095 && !deferredClear) {
            output(clear);
            ++s.clears;
            table.clear();
            next = clear + 2;
            width = codeSize + 1;
        } else if (next < 4096) {
            // Only the string just made can be the next free slot.
            table[{codes.back().first, pixel}] = next;
            lastAdded = next++;
            if (next == 4096)
                ++s.tableFull;
        }
    }
    output(current);
    output(end);
    if (stats)
        *stats = s;
    return codes;
}

// One frame: its indexes top row first in display order, written
// interlaced when asked (or taken as already in file order).
struct GifFrame {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<int> indices;
    std::vector<COLORREF> localTable; // none when empty
    bool interlaced = false;
    bool indicesInFileOrder = false;
    int codeSize = 0; // 0: from the table
    bool deferredClear = false;
    // The LZW sub-blocks as they stand instead of the encoded indexes.
    std::string data;
    bool hasData = false;
};

inline int GifTableBits(std::size_t entries)
{
    int bits = 1;
    while ((std::size_t(1) << bits) < entries)
        ++bits;
    return bits;
}

inline std::string GifColourTable(const std::vector<COLORREF>& table)
{
    std::string out;
    const std::size_t size = std::size_t(1) << GifTableBits(table.size());
    for (std::size_t i = 0; i < size; ++i) {
        const COLORREF c = i < table.size() ? table[i] : 0;
        out += static_cast<char>(GetRValue(c));
        out += static_cast<char>(GetGValue(c));
        out += static_cast<char>(GetBValue(c));
    }
    return out;
}

// The display rows of an interlaced frame in the order the file holds them.
inline std::vector<int> GifInterlacedRows(int height)
{
    std::vector<int> rows;
    const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass])
            rows.push_back(y);
    return rows;
}

class CGifBuilder {
public:
    CGifBuilder(int screenWidth, int screenHeight, std::vector<COLORREF> globalTable = {})
    {
        m_bytes.Raw("GIF89a").U16(static_cast<unsigned>(screenWidth)).U16(static_cast<unsigned>(screenHeight));
        if (globalTable.empty()) {
            m_bytes.U8(0);
        } else {
            m_bytes.U8(0x80 | (GifTableBits(globalTable.size()) - 1));
        }
        m_bytes.U8(0).U8(0);
        if (!globalTable.empty())
            m_bytes.Raw(GifColourTable(globalTable));
        m_globalBits = globalTable.empty() ? 0 : GifTableBits(globalTable.size());
    }

    CGifBuilder& Control(int disposal, int transIndex, int delay = 0)
    {
        m_bytes.U8('!').U8(0xF9).U8(4);
        m_bytes.U8(static_cast<unsigned>((disposal & 7) << 2 | (transIndex >= 0 ? 1 : 0)));
        m_bytes.U16(static_cast<unsigned>(delay)).U8(static_cast<unsigned>(transIndex >= 0 ? transIndex : 0)).U8(0);
        return *this;
    }
    CGifBuilder& Comment(const std::string& text)
    {
        m_bytes.U8('!').U8(0xFE).Raw(GifSubBlocks(text));
        return *this;
    }
    CGifBuilder& Loop(int count)
    {
        m_bytes.U8('!').U8(0xFF).U8(11).Raw("NETSCAPE2.0");
        m_bytes.U8(3).U8(1).U16(static_cast<unsigned>(count)).U8(0);
        return *this;
    }
    CGifBuilder& Raw(const std::string& bytes)
    {
        m_bytes.Raw(bytes);
        return *this;
    }

    CGifBuilder& Frame(const GifFrame& f)
    {
        m_bytes.U8(',').U16(static_cast<unsigned>(f.left)).U16(static_cast<unsigned>(f.top));
        m_bytes.U16(static_cast<unsigned>(f.width)).U16(static_cast<unsigned>(f.height));
        unsigned flags = f.interlaced ? 0x40 : 0;
        if (!f.localTable.empty())
            flags |= 0x80 | static_cast<unsigned>(GifTableBits(f.localTable.size()) - 1);
        m_bytes.U8(flags);
        if (!f.localTable.empty())
            m_bytes.Raw(GifColourTable(f.localTable));
        if (f.hasData) {
            m_bytes.Raw(f.data);
            return *this;
        }
        std::vector<int> stored = f.indices;
        if (f.interlaced && !f.indicesInFileOrder) {
            stored.clear();
            for (const int y : GifInterlacedRows(f.height))
                stored.insert(stored.end(), f.indices.begin() + std::ptrdiff_t(y) * f.width,
                              f.indices.begin() + std::ptrdiff_t(y + 1) * f.width);
        }
        const int tableBits = f.localTable.empty() ? m_globalBits : GifTableBits(f.localTable.size());
        const int codeSize = f.codeSize > 0 ? f.codeSize : std::max(2, tableBits);
        GifLzwStats stats;
        const auto codes = GifLzwCodes(stored, codeSize, f.deferredClear, &stats);
        m_stats.codes += stats.codes;
        m_stats.nextFreeSlot += stats.nextFreeSlot;
        m_stats.clears += stats.clears;
        m_stats.tableFull += stats.tableFull;
        m_bytes.U8(static_cast<unsigned>(codeSize)).Raw(GifSubBlocks(GifPackCodes(codes)));
        return *this;
    }

    std::string Bytes() const { return m_bytes.Str() + ";"; }
    // Without the trailer.
    std::string Open() const { return m_bytes.Str(); }
    const GifLzwStats& Stats() const { return m_stats; }

private:
    CByteWriter m_bytes;
    int m_globalBits = 0;
    GifLzwStats m_stats;
};

// The test palette of n entries as COLORREFs.
inline std::vector<COLORREF> GifTestTable(int n)
{
    std::vector<COLORREF> table;
    for (int i = 0; i < n; ++i)
        table.push_back(FixtureColour(i));
    return table;
}

// A frame of the test picture at (left, top) over 'colours' entries.
inline GifFrame GifTestFrame(int width, int height, int colours, int left = 0, int top = 0)
{
    GifFrame f;
    f.left = left;
    f.top = top;
    f.width = width;
    f.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            f.indices.push_back(FixtureIndex(x, y, colours));
    return f;
}

// A frame of 3999 x 3999 pixels carrying two LZW bytes: a clear code,
// index 1, the end code.
inline GifFrame TwoByteFrame()
{
    GifFrame frame;
    frame.width = frame.height = 3999;
    frame.hasData = true;
    frame.data = "\x02" + GifSubBlocks(GifPackCodes({{4, 3}, {1, 3}, {5, 3}}));
    return frame;
}

// Frames that claim far more than their data: a 4000 x 4000 screen with
// the colour table given (none by default), a comment of 'padding' bytes,
// then 'frames' two-byte frames.
inline std::string FramesLargerThanTheirDataGif(int frames, std::size_t padding,
                                               std::vector<COLORREF> globalTable = {})
{
    CGifBuilder gif(4000, 4000, std::move(globalTable));
    if (padding > 0)
        gif.Comment(std::string(padding, 'c'));
    for (int i = 0; i < frames; ++i)
        gif.Frame(TwoByteFrame());
    return gif.Bytes();
}
