#include "layers/AsciiGridImport.h"

#include "layers/GridFile.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Stream.h"
#include "platform/UserServices.h"

#include <cmath>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

namespace {

constexpr int kOutOfMemory = 1005;
constexpr int kCannotOpen = 1007;
constexpr int kBadFormat = 1030;
constexpr int kWriteFailed = 1045;

constexpr int16_t kImportCellType = CGridFile::kPacked2;
constexpr uint16_t kNoDataCell = 4095;
constexpr double kHighestValue = 4094;
// What ESRI readers assume when the header names no no-data value.
constexpr double kDefaultNoData = -9999;
// No number of a grid is longer; a longer token is not a number.
constexpr size_t kMaxToken = 400;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Blank-separated words of a text stream, read in large chunks.
class CTokenReader {
public:
    explicit CTokenReader(CStream& stream) : m_stream(stream), m_buffer(kChunk + kMaxToken) {}

    // The next word; false at the end of the text or at a word too long to
    // be a number (then TooLong()).
    bool Next(std::string_view& token)
    {
        for (;;) {
            while (m_pos < m_end && IsSpace(m_buffer[m_pos]))
                ++m_pos;
            if (m_pos < m_end)
                break;
            if (m_atEnd)
                return false;
            m_pos = m_end = 0;
            Fill();
        }
        size_t start = m_pos;
        for (;;) {
            while (m_pos < m_end && !IsSpace(m_buffer[m_pos]))
                ++m_pos;
            if (m_pos - start > kMaxToken) {
                m_tooLong = true;
                return false;
            }
            if (m_pos < m_end || m_atEnd)
                break;
            // The word runs on into the next chunk: keep its start.
            const size_t length = m_pos - start;
            std::memmove(m_buffer.data(), m_buffer.data() + start, length);
            start = 0;
            m_pos = m_end = length;
            Fill();
        }
        token = std::string_view(m_buffer.data() + start, m_pos - start);
        return true;
    }
    bool TooLong() const { return m_tooLong; }

private:
    static constexpr size_t kChunk = 64 * 1024;

    void Fill()
    {
        const size_t got = m_stream.Read(m_buffer.data() + m_end, kChunk);
        m_end += got;
        if (got == 0)
            m_atEnd = true;
    }

    CStream& m_stream;
    std::vector<char> m_buffer;
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_atEnd = false;
    bool m_tooLong = false;
};

// A whole word as a number.
bool ParseNumber(std::string_view token, double& value)
{
    size_t used = 0;
    value = ParseDoubleC(token, &used);
    return used == token.size() && std::isfinite(value);
}

struct AsciiGridHeader {
    int columns = 0;
    int rows = 0;
    double x = 0, y = 0; // of the lower left corner or the lower left cell's centre
    bool xCentre = false, yCentre = false;
    double cellSize = 0;
    double noData = kDefaultNoData;

    // The grid's positions are cell centres; its first row is the northern one.
    double XFirst() const { return xCentre ? x : x + cellSize / 2; }
    double XLast() const { return XFirst() + (columns - 1) * cellSize; }
    double YLast() const { return yCentre ? y : y + cellSize / 2; }
    double YFirst() const { return YLast() + (rows - 1) * cellSize; }

    // Far from the origin a small cell size can vanish in the coordinates;
    // such a grid would have no cell size to read back.
    bool HasCellSize() const
    {
        return std::isfinite(XLast()) && std::isfinite(YFirst()) && XLast() != XFirst() && YFirst() != YLast();
    }
};

enum Keyword { kNcols, kNrows, kXCorner, kXCentre, kYCorner, kYCentre, kCellSize, kNoData, kKeywordCount };
constexpr const char* kKeywords[kKeywordCount] = {"ncols",     "nrows",     "xllcorner", "xllcenter",
                                                  "yllcorner", "yllcenter", "cellsize",  "nodata_value"};

int FindKeyword(std::string_view word)
{
    for (int k = 0; k < kKeywordCount; ++k)
        if (EqualsNoCase1257(word, kKeywords[k]))
            return k;
    return -1;
}

// A count the ".rmp" header can hold in its 16 bits and that makes a cell size.
bool ParseCount(std::string_view token, int& count)
{
    double value;
    if (!ParseNumber(token, value) || value != std::floor(value) || value < 2 || value > 65535)
        return false;
    count = static_cast<int>(value);
    return true;
}

// Reads the keyword lines up to the first cell value, which is left in *first.
bool ReadHeader(CTokenReader& reader, AsciiGridHeader& header, std::string_view& first)
{
    bool seen[kKeywordCount] = {};
    std::string_view word;
    for (;;) {
        if (!reader.Next(word))
            return false;
        const char c = word[0];
        if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.')
            break;
        const int keyword = FindKeyword(word);
        std::string_view value;
        if (keyword < 0 || seen[keyword] || !reader.Next(value))
            return false;
        seen[keyword] = true;
        bool valid = true;
        switch (keyword) {
        case kNcols: valid = ParseCount(value, header.columns); break;
        case kNrows: valid = ParseCount(value, header.rows); break;
        case kXCorner:
        case kXCentre:
            valid = ParseNumber(value, header.x);
            header.xCentre = keyword == kXCentre;
            break;
        case kYCorner:
        case kYCentre:
            valid = ParseNumber(value, header.y);
            header.yCentre = keyword == kYCentre;
            break;
        case kCellSize: valid = ParseNumber(value, header.cellSize) && header.cellSize > 0; break;
        case kNoData: valid = ParseNumber(value, header.noData); break;
        }
        if (!valid)
            return false;
    }
    first = word;
    const bool complete = seen[kNcols] && seen[kNrows] && seen[kXCorner] != seen[kXCentre] &&
                          seen[kYCorner] != seen[kYCentre] && seen[kCellSize];
    return complete && header.HasCellSize();
}

void MakeGridHeader(const AsciiGridHeader& ascii, unsigned char (&bytes)[CGridFile::kHeaderSize])
{
    CGridFile::Header header;
    header.cellType = kImportCellType;
    header.xFirst = ascii.XFirst();
    header.xLast = ascii.XLast();
    header.cellWidth = ascii.cellSize;
    header.columns = static_cast<uint16_t>(ascii.columns);
    header.yFirst = ascii.YFirst();
    header.yLast = ascii.YLast();
    header.cellHeight = ascii.cellSize;
    header.rows = static_cast<uint16_t>(ascii.rows);
    header.Write(bytes);
}

uint16_t ToCell(double value, double noData)
{
    if (value == noData)
        return kNoDataCell;
    if (value < 0)
        return 0;
    if (value > kHighestValue)
        return static_cast<uint16_t>(kHighestValue);
    return static_cast<uint16_t>(value + 0.5);
}

bool Refuse(int stringId)
{
    AppMessageBox(stringId);
    return false;
}

} // namespace

bool ImportAsciiGrid(CStream& rmp, CStream& ascii, IProgress* progress)
{
    CTokenReader reader(ascii);
    AsciiGridHeader header;
    std::string_view token;
    if (!ReadHeader(reader, header, token))
        return Refuse(kBadFormat);

    unsigned char gridHeader[CGridFile::kHeaderSize];
    MakeGridHeader(header, gridHeader);
    if (!rmp.WriteExact(gridHeader, sizeof gridHeader))
        return Refuse(kWriteFailed);

    std::vector<unsigned char> row;
    try {
        row.resize(static_cast<size_t>(header.columns) * 2);
    } catch (const std::bad_alloc&) {
        return Refuse(kOutOfMemory);
    }
    if (progress)
        progress->SetRange(0, header.rows);
    bool haveToken = true; // the header reader left the first value
    for (int r = 0; r < header.rows; ++r) {
        unsigned char* cell = row.data();
        for (int c = 0; c < header.columns; ++c, cell += 2) {
            double value;
            if (!haveToken && !reader.Next(token))
                return Refuse(kBadFormat);
            haveToken = false;
            if (!ParseNumber(token, value))
                return Refuse(kBadFormat);
            const uint16_t stored = ToCell(value, header.noData);
            cell[0] = static_cast<unsigned char>(stored);
            cell[1] = static_cast<unsigned char>(stored >> 8);
        }
        if (!rmp.WriteExact(row.data(), row.size()))
            return Refuse(kWriteFailed);
        if (progress) {
            progress->SetPos(r + 1);
            if (progress->CheckCancel())
                return false;
        }
    }
    return true;
}

bool ImportAsciiGrid(const std::string& rmpPath, const std::string& asciiPath, IProgress* progress)
{
    auto ascii = CFileStream::Open(asciiPath, FileMode::Read);
    if (!ascii) {
        AppMessageBoxArg(kCannotOpen, asciiPath);
        return false;
    }
    std::string tempPath;
    auto rmp = BeginAtomicWrite(rmpPath, &tempPath);
    if (!rmp) {
        AppMessageBoxArg(kCannotOpen, rmpPath);
        return false;
    }
    if (!ImportAsciiGrid(*rmp, *ascii, progress)) {
        AbandonAtomicWrite(std::move(rmp), tempPath);
        return false;
    }
    if (!CommitAtomicWrite(std::move(rmp), tempPath, rmpPath))
        return Refuse(kWriteFailed);
    return true;
}
