#include "render/GifDecoder.h"

#include "platform/ByteOrder.h"
#include "render/ImageStream.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr const char* kNoImages = "No images in GIF";
constexpr const char* kTooLarge = "GIF frames too large for their data";
constexpr const char* kCantSeek = "Can't read GIF stream";

// The most pixels one byte of LZW data can stand for: a code of w bits
// names a string shorter than 2^w indexes (the table then holds fewer
// entries), so 12-bit codes give the most, at most 4097 indexes each.
constexpr std::uint64_t kPixelsPerDataByte = 4097 * 8 / 12 + 1;
// Pixels a file may paint beyond what its data fills, so a large picture
// cut short still shows.
constexpr std::uint64_t kFreePixels = std::uint64_t(1) << 24;

constexpr int kMaxCodes = 4096;

// The whole decode reads through this buffer, so block parsing goes on
// exactly after the last byte the LZW data took.
class GifReader {
public:
    explicit GifReader(CxStream& stream) : m_stream(stream) {}

    bool Byte(std::uint8_t& byte)
    {
        if (m_position == m_length && !Fill())
            return false;
        byte = m_buffer[m_position++];
        ++m_consumed;
        return true;
    }
    // All n bytes or false.
    bool Bytes(std::uint8_t* out, std::size_t n)
    {
        while (n > 0) {
            if (m_position == m_length && !Fill())
                return false;
            const std::size_t take = std::min(n, m_length - m_position);
            std::memcpy(out, m_buffer.data() + m_position, take);
            m_position += take;
            m_consumed += take;
            out += take;
            n -= take;
        }
        return true;
    }
    bool Skip(std::size_t n)
    {
        while (n > 0) {
            if (m_position == m_length && !Fill())
                return false;
            const std::size_t take = std::min(n, m_length - m_position);
            m_position += take;
            m_consumed += take;
            n -= take;
        }
        return true;
    }
    // Sub-blocks up to and including the empty one that ends them; false
    // when the data ends first.
    bool SkipSubBlocks()
    {
        std::uint8_t size = 0;
        while (Byte(size))
            if (size == 0 || !Skip(size))
                return size == 0;
        return false;
    }
    std::uint64_t Consumed() const { return m_consumed; }
    // After the stream was moved back to 'consumed' bytes from the start.
    void Restart(std::uint64_t consumed)
    {
        m_position = m_length = 0;
        m_consumed = consumed;
    }

private:
    bool Fill()
    {
        m_length = m_stream.Read(m_buffer.data(), 1, m_buffer.size());
        m_position = 0;
        return m_length > 0;
    }

    CxStream& m_stream;
    std::array<std::uint8_t, 16384> m_buffer{};
    std::size_t m_position = 0;
    std::size_t m_length = 0;
    std::uint64_t m_consumed = 0;
};

struct ColourTable {
    std::array<CxRgbTriple, 256> entries{};
    int count = 0; // 0: no table
};

// 2^((flags & 7) + 1) entries of red, green, blue; false when cut short.
bool ReadColourTable(GifReader& in, std::uint8_t flags, ColourTable& table)
{
    table.count = 2 << (flags & 7);
    std::uint8_t rgb[3 * 256];
    if (!in.Bytes(rgb, 3 * std::size_t(table.count)))
        return false;
    for (int i = 0; i < table.count; ++i)
        table.entries[i] = CxRgbTriple{rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]};
    return true;
}

struct ImageDescriptor {
    int left = 0, top = 0, width = 0, height = 0;
    std::uint8_t flags = 0;
    bool interlaced() const { return (flags & 0x40) != 0; }
    bool localTable() const { return (flags & 0x80) != 0; }
};

bool ReadDescriptor(GifReader& in, ImageDescriptor& d)
{
    std::uint8_t b[9];
    if (!in.Bytes(b, sizeof b))
        return false;
    d.left = GetLittleEndian<std::uint16_t>(b);
    d.top = GetLittleEndian<std::uint16_t>(b + 2);
    d.width = GetLittleEndian<std::uint16_t>(b + 4);
    d.height = GetLittleEndian<std::uint16_t>(b + 6);
    d.flags = b[8];
    return true;
}

bool InsideScreen(const ImageDescriptor& d, int screenWidth, int screenHeight)
{
    return d.width > 0 && d.height > 0 && d.left + d.width <= screenWidth && d.top + d.height <= screenHeight;
}

// The bytes of one frame's LZW data, read across its sub-blocks.
class SubBlockBytes {
public:
    explicit SubBlockBytes(GifReader& in) : m_in(in) {}

    bool Next(std::uint8_t& byte)
    {
        while (m_left == 0) {
            std::uint8_t size = 0;
            if (m_ended || !m_in.Byte(size)) {
                m_ended = true;
                return false;
            }
            if (size == 0) {
                m_ended = m_terminated = true;
                return false;
            }
            m_left = size;
        }
        if (!m_in.Byte(byte)) {
            m_ended = true;
            return false;
        }
        --m_left;
        return true;
    }
    // Moves past the rest of the data and its terminator.
    void Finish()
    {
        if (m_ended)
            return;
        if (m_in.Skip(m_left))
            m_in.SkipSubBlocks();
        m_ended = true;
    }

private:
    GifReader& m_in;
    std::size_t m_left = 0;
    bool m_ended = false;
    bool m_terminated = false;
};

// A stored row of 1, 4 or 8 bits as one index a byte, and back.
void UnpackRow(const std::uint8_t* row, int bits, int width, std::uint8_t* out)
{
    switch (bits) {
    case 8: std::memcpy(out, row, std::size_t(width)); break;
    case 4:
        for (int x = 0; x < width; ++x)
            out[x] = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
        break;
    default:
        for (int x = 0; x < width; ++x)
            out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

void PackRow(const std::uint8_t* indices, int bits, int width, std::uint8_t* row)
{
    switch (bits) {
    case 8: std::memcpy(row, indices, std::size_t(width)); break;
    case 4:
        for (int x = 0; x < width; x += 2)
            row[x / 2] = static_cast<std::uint8_t>(indices[x] << 4 | (x + 1 < width ? indices[x + 1] : 0));
        break;
    default:
        for (int x = 0; x < width; x += 8) {
            std::uint8_t byte = 0;
            for (int bit = 0; bit < 8 && x + bit < width; ++bit)
                byte |= static_cast<std::uint8_t>(indices[x + bit] << (7 - bit));
            row[x / 8] = byte;
        }
    }
}

// Writes decoded lines into a frame, top row first or by the four
// interlace passes; lines past the frame's last row are dropped.
class FrameRows {
public:
    FrameRows(CxImage& frame, bool interlaced)
        : m_frame(frame), m_width(frame.GetWidth()), m_height(frame.GetHeight()), m_interlaced(interlaced),
          m_mask(static_cast<std::uint8_t>((1u << frame.GetBpp()) - 1)), m_line(std::size_t(frame.GetWidth()), 0)
    {
        m_step = interlaced ? 8 : 1;
    }

    bool Full() const { return m_done; }
    // Pixels the data gave so far, the frame's area once it is full.
    std::uint64_t Filled() const
    {
        return m_done ? std::uint64_t(m_width) * std::uint64_t(m_height)
                      : m_lines * std::uint64_t(m_width) + m_fill;
    }
    void Put(std::uint8_t index)
    {
        m_line[m_fill++] = index & m_mask;
        if (m_fill == m_line.size())
            Flush();
    }
    // The partial last line, its rest at index 0.
    void Finish()
    {
        if (m_fill > 0)
            Flush();
    }

private:
    void Flush()
    {
        if (!m_done) {
            PackRow(m_line.data(), m_frame.GetBpp(), m_width, m_frame.GetBits(m_height - 1 - m_row));
            ++m_lines;
        }
        std::fill(m_line.begin(), m_line.end(), 0);
        m_fill = 0;
        Advance();
    }
    void Advance()
    {
        static constexpr int kStart[] = {0, 4, 2, 1};
        static constexpr int kStep[] = {8, 8, 4, 2};
        m_row += m_step;
        if (!m_interlaced) {
            m_done = m_row >= m_height;
            return;
        }
        while (m_row >= m_height) {
            if (++m_pass == 4) {
                m_done = true;
                return;
            }
            m_row = kStart[m_pass];
            m_step = kStep[m_pass];
        }
    }

    CxImage& m_frame;
    const int m_width;
    const int m_height;
    const bool m_interlaced;
    const std::uint8_t m_mask;
    std::vector<std::uint8_t> m_line;
    std::size_t m_fill = 0;
    std::uint64_t m_lines = 0;
    int m_row = 0;
    int m_step = 1;
    int m_pass = 0;
    bool m_done = false;
};

// The variable-length LZW of GIF, codes least significant bit first.
class GifLzw {
public:
    // Decodes one frame's data; stops at the end code, at the end of the
    // data, when the frame is full or on a chain no table can hold.
    void Decode(SubBlockBytes& data, int minCodeSize, FrameRows& rows)
    {
        const int clear = 1 << minCodeSize;
        const int end = clear + 1;
        int width = minCodeSize + 1;
        int next = clear + 2;
        int previous = -1;
        std::uint8_t first = 0;
        std::uint32_t bits = 0;
        int bitCount = 0;
        for (int i = 0; i < clear; ++i) {
            m_prefix[i] = 0;
            m_suffix[i] = static_cast<std::uint8_t>(i);
        }
        while (!rows.Full()) {
            while (bitCount < width) {
                std::uint8_t byte = 0;
                if (!data.Next(byte))
                    return;
                bits |= std::uint32_t(byte) << bitCount;
                bitCount += 8;
            }
            int code = static_cast<int>(bits & ((1u << width) - 1));
            bits >>= width;
            bitCount -= width;

            if (code == clear) {
                width = minCodeSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            if (code == end)
                return;
            if (previous < 0) {
                // The first code after a clear must be a plain index.
                if (code >= next)
                    code = 0;
                first = m_suffix[code];
                rows.Put(first);
                previous = code;
                continue;
            }
            // A code past the next free slot is damage; read as that slot,
            // the previous string and its own first index.
            const bool unknown = code >= next;
            if (unknown)
                code = next;
            int top = 0;
            int walk = code;
            if (unknown) {
                m_stack[top++] = first;
                walk = previous;
            }
            while (walk >= clear) {
                if (top >= kMaxCodes)
                    return;
                m_stack[top++] = m_suffix[walk];
                walk = m_prefix[walk];
            }
            first = m_suffix[walk];
            m_stack[top++] = first;
            // A full table takes no more strings until the next clear.
            if (next < kMaxCodes) {
                m_prefix[next] = static_cast<std::uint16_t>(previous);
                m_suffix[next] = first;
                ++next;
                if (next == (1 << width) && width < 12)
                    ++width;
            }
            previous = code;
            while (top > 0 && !rows.Full())
                rows.Put(m_stack[--top]);
        }
    }

private:
    std::array<std::uint16_t, kMaxCodes> m_prefix{};
    std::array<std::uint8_t, kMaxCodes> m_suffix{};
    std::array<std::uint8_t, kMaxCodes + 1> m_stack{};
};

// One frame's code size and LZW data, up to and including its terminator;
// the pixels the data gave.
std::uint64_t DecodeFrameData(GifReader& in, CxImage& frame, bool interlaced, GifLzw& lzw)
{
    std::uint8_t codeSize = 0;
    if (!in.Byte(codeSize))
        return 0;
    SubBlockBytes data(in);
    std::uint64_t filled = 0;
    // Other code sizes yield no pixels.
    if (codeSize >= 2 && codeSize <= 9) {
        FrameRows rows(frame, interlaced);
        lzw.Decode(data, codeSize, rows);
        filled = rows.Filled();
        rows.Finish();
    }
    data.Finish();
    return filled;
}

// The bytes of the frame's data skipped.
std::uint64_t SkipFrameData(GifReader& in)
{
    const std::uint64_t start = in.Consumed();
    std::uint8_t codeSize = 0;
    if (in.Byte(codeSize))
        in.SkipSubBlocks();
    return in.Consumed() - start;
}

struct GraphicControl {
    int disposal = 0;
    int transIndex = -1;
};

// Any extension up to its terminator; a graphic control block is kept.
// False when the data ends inside it.
bool ReadExtension(GifReader& in, GraphicControl& control)
{
    std::uint8_t label = 0;
    if (!in.Byte(label))
        return false;
    if (label == 0xF9) {
        std::uint8_t size = 0;
        if (!in.Byte(size))
            return false;
        if (size == 0)
            return true;
        std::uint8_t b[255];
        if (!in.Bytes(b, size))
            return false;
        if (size == 4) {
            control.disposal = (b[0] >> 2) & 7;
            control.transIndex = (b[0] & 1) ? b[3] : -1;
        }
    }
    return in.SkipSubBlocks();
}

int FrameDepth(int colours)
{
    return colours <= 2 ? 1 : colours <= 16 ? 4 : 8;
}

void SetFramePalette(CxImage& frame, const ColourTable& table, int transIndex)
{
    frame.SetPalette(table.entries.data(), table.count);
    // With transparency the entries past the table are white.
    if (transIndex >= 0)
        for (int i = table.count; i < frame.GetNumColors(); ++i)
            frame.SetPaletteColor(i, 255, 255, 255);
    if (transIndex >= 0 && transIndex < frame.GetNumColors())
        frame.SetTransIndex(transIndex);
}

// Index x of a stored row of 1, 4 or 8 bits, and setting it.
std::uint8_t IndexAt(const std::uint8_t* row, int bits, int x)
{
    switch (bits) {
    case 8: return row[x];
    case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
    default: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    }
}

void SetIndexAt(std::uint8_t* row, int bits, int x, std::uint8_t index)
{
    switch (bits) {
    case 8: row[x] = index; break;
    case 4: {
        std::uint8_t& byte = row[x >> 1];
        byte = (x & 1) ? static_cast<std::uint8_t>((byte & 0xF0) | (index & 0x0F))
                       : static_cast<std::uint8_t>((byte & 0x0F) | (index << 4));
        break;
    }
    default: {
        const std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
        std::uint8_t& byte = row[x >> 3];
        byte = (index & 1) ? byte | bit : byte & static_cast<std::uint8_t>(~bit);
    }
    }
}

// Lays a frame over the picture at (dx, dy) from its top-left corner,
// skipping its transparent pixels; colours of another table are matched to
// the picture's own. Only the pixels under the frame are touched: a narrow
// frame over a wide picture must cost what the frame has, not the picture's rows.
void LayOver(CxImage& picture, const CxImage& frame, int dx, int dy)
{
    std::array<std::uint8_t, 256> map{};
    const int colours = frame.GetNumColors();
    const bool samePalette = colours == picture.GetNumColors() &&
                             std::memcmp(frame.GetPalette(), picture.GetPalette(), 4 * std::size_t(colours)) == 0;
    for (int i = 0; i < colours; ++i)
        map[i] = samePalette ? static_cast<std::uint8_t>(i) : picture.GetNearestIndex(frame.GetPaletteColor(i));
    const int trans = frame.GetTransIndex();
    const int width = frame.GetWidth(), height = frame.GetHeight();
    const int pictureWidth = picture.GetWidth(), pictureHeight = picture.GetHeight();
    const int x0 = std::max(0, -dx), x1 = std::min(width, pictureWidth - dx);
    const int y0 = std::max(0, -dy), y1 = std::min(height, pictureHeight - dy);
    const int frameBits = frame.GetBpp(), pictureBits = picture.GetBpp();
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* row = picture.GetBits(pictureHeight - 1 - (dy + y));
        const std::uint8_t* in = frame.GetBits(height - 1 - y);
        for (int x = x0; x < x1; ++x) {
            const std::uint8_t index = IndexAt(in, frameBits, x);
            if (index != trans)
                SetIndexAt(row, pictureBits, dx + x, map[index]);
        }
    }
}

// Paints a frame colour by colour into the 24-bit screen picture.
void Paint(CxImage& picture, const CxImage& frame, int left, int top)
{
    const int width = frame.GetWidth(), height = frame.GetHeight();
    const RGBQUAD* palette = frame.GetPalette();
    std::vector<std::uint8_t> in(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = picture.GetBits(picture.GetHeight() - 1 - (top + y)) + 3 * std::size_t(left);
        UnpackRow(frame.GetBits(height - 1 - y), frame.GetBpp(), width, in.data());
        for (int x = 0; x < width; ++x, out += 3) {
            const RGBQUAD c = palette[in[x]];
            out[0] = c.rgbBlue;
            out[1] = c.rgbGreen;
            out[2] = c.rgbRed;
        }
    }
}

struct FrameCount {
    int frames = 0;
    // Of the frames' data, comments and other extensions left out.
    std::uint64_t dataBytes = 0;
};

// Walks every block as decoding does, counting the frames it would decode.
FrameCount CountFrames(GifReader& in, int screenWidth, int screenHeight)
{
    FrameCount count;
    GraphicControl ignored;
    std::uint8_t byte = 0;
    while (in.Byte(byte) && byte != ';') {
        if (byte == '!') {
            if (!ReadExtension(in, ignored))
                break;
        } else if (byte == ',') {
            ImageDescriptor d;
            ColourTable local;
            if (!ReadDescriptor(in, d) || (d.localTable() && !ReadColourTable(in, d.flags, local)))
                break;
            const std::uint64_t bytes = SkipFrameData(in);
            if (InsideScreen(d, screenWidth, screenHeight)) {
                ++count.frames;
                count.dataBytes += bytes;
            }
        }
    }
    return count;
}

// Pixels painted beyond what the data filled come out of one allowance for
// the whole file, so a few bytes cannot buy minutes of painting.
class PaintAllowance {
public:
    // False, taking nothing, when the pixels are more than is left.
    bool Take(std::uint64_t unfilled)
    {
        if (unfilled > m_left)
            return false;
        m_left -= unfilled;
        return true;
    }

private:
    std::uint64_t m_left = kFreePixels;
};

} // namespace

bool CxImageGIF::Decode(CxStream& stream)
{
    const std::int64_t start = stream.Tell();
    GifReader in(stream);
    std::uint8_t screen[13];
    if (!in.Bytes(screen, sizeof screen) || std::memcmp(screen, "GIF8", 4) != 0)
        return false;
    const int screenWidth = GetLittleEndian<std::uint16_t>(screen + 6);
    const int screenHeight = GetLittleEndian<std::uint16_t>(screen + 8);
    ColourTable global;
    if ((screen[10] & 0x80) && !ReadColourTable(in, screen[10], global))
        global.count = 0;

    const std::uint64_t body = in.Consumed();
    const FrameCount count = CountFrames(in, screenWidth, screenHeight);
    SetNumFrames(count.frames);
    if (count.frames == 0) {
        SetLastError(kNoImages);
        return false;
    }
    if (GetFrame() < 0 || GetFrame() >= count.frames)
        return false;
    if (start < 0 || !stream.Seek(start + static_cast<std::int64_t>(body), 0)) {
        SetLastError(kCantSeek);
        return false;
    }
    in.Restart(body);
    PaintAllowance allowance;

    // Without a global table, a first frame smaller both ways makes a
    // picture of tiles, composed in 24 bits.
    int trueColour = global.count == 0 ? 1 : 0;
    GraphicControl control;
    CxImage picture;
    int pictureLeft = 0, pictureTop = 0;
    bool havePicture = false;
    CxImage screenPicture;
    GifLzw lzw;
    ColourTable local;
    int frame = 0;
    std::uint8_t byte = 0;
    while (in.Byte(byte) && byte != ';') {
        if (GetEscape())
            return false;
        if (byte == '!') {
            if (!ReadExtension(in, control))
                break;
            continue;
        }
        if (byte != ',')
            continue;
        ImageDescriptor d;
        if (!ReadDescriptor(in, d) || (d.localTable() && !ReadColourTable(in, d.flags, local)))
            break;
        if (!InsideScreen(d, screenWidth, screenHeight)) {
            SkipFrameData(in);
            continue;
        }
        if (frame == 0 && d.width != screenWidth && d.height != screenHeight)
            ++trueColour;
        const ColourTable& table = d.localTable() ? local : global;
        CxImage image;
        image.CopyInfo(*this);
        if (!image.Create(d.width, d.height, FrameDepth(table.count), CXIMAGE_FORMAT_GIF)) {
            SetLastError(image.GetLastError());
            return false;
        }
        SetFramePalette(image, table, control.transIndex);
        const std::uint64_t filled = DecodeFrameData(in, image, d.interlaced(), lzw);
        // The whole frame is painted, however little its data filled.
        if (!allowance.Take(std::uint64_t(d.width) * std::uint64_t(d.height) - filled)) {
            SetLastError(kTooLarge);
            return false;
        }

        if (trueColour >= 2) {
            if (!screenPicture.IsValid()) {
                // The screen is made whole however little the tiles cover.
                const std::uint64_t screenPixels = std::uint64_t(screenWidth) * std::uint64_t(screenHeight);
                if (!allowance.Take(screenPixels - std::min(screenPixels, kPixelsPerDataByte * count.dataBytes))) {
                    SetLastError(kTooLarge);
                    return false;
                }
                screenPicture.CopyInfo(*this);
                if (!screenPicture.Create(screenWidth, screenHeight, 24, CXIMAGE_FORMAT_GIF)) {
                    SetLastError(screenPicture.GetLastError());
                    return false;
                }
            }
            Paint(screenPicture, image, d.left, d.top);
            // The last frame's transparency becomes the picture's colour.
            if (control.transIndex >= 0) {
                const CxRgbTriple c = control.transIndex < table.count ? table.entries[control.transIndex]
                                                                       : CxRgbTriple{255, 255, 255};
                screenPicture.SetTransColor(RGBQUAD{c.b, c.g, c.r, 0});
                screenPicture.SetTransIndex(0);
            } else {
                screenPicture.SetTransIndex(-1);
            }
        } else if (havePicture && control.disposal == 1) {
            LayOver(picture, image, d.left - pictureLeft, d.top - pictureTop);
        } else {
            picture.Transfer(image);
            pictureLeft = d.left;
            pictureTop = d.top;
            havePicture = true;
        }
        if (trueColour < 2 && frame == GetFrame())
            break;
        ++frame;
    }

    CxImage& result = trueColour >= 2 ? screenPicture : picture;
    if (!result.IsValid()) {
        SetLastError(kNoImages);
        return false;
    }
    // The result was made with this image's information: frame, count and the rest.
    Transfer(result);
    return true;
}
