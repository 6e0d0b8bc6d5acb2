#include "render/WbmpDecoder.h"

#include "render/ImageStream.h"

#include <climits>

namespace {

enum class Field { Ok, End, TooLong };

// A multi-byte integer: seven bits a byte, most significant first, the
// top bit set on every byte but the last. Four bytes (28 bits) at most.
Field ReadMultiByte(CxStream& stream, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        const int c = stream.GetC();
        if (c < 0)
            return Field::End;
        value = (value << 7) | (static_cast<std::uint32_t>(c) & 0x7F);
        if ((c & 0x80) == 0)
            return Field::Ok;
    }
    return Field::TooLong;
}

} // namespace

bool CxImageWBMP::Decode(CxStream& stream)
{
    const auto fail = [this](const char* text) {
        SetLastError(text);
        return false;
    };
    std::uint32_t type = 0, width = 0, height = 0;
    const Field typeField = ReadMultiByte(stream, type);
    if (typeField == Field::End)
        return fail("Not a WBMP");
    if (typeField != Field::Ok || type != 0)
        return fail("Unsupported WBMP type");
    // The fixed header byte says nothing for type 0.
    const int fixedHeader = stream.GetC();
    const Field widthField = fixedHeader >= 0 ? ReadMultiByte(stream, width) : Field::End;
    const Field heightField = widthField == Field::Ok ? ReadMultiByte(stream, height) : widthField;
    if (widthField == Field::End || heightField == Field::End)
        return fail("Not a WBMP");
    if (widthField != Field::Ok || heightField != Field::Ok || width == 0 || height == 0)
        return fail("Corrupted WBMP");

    const int w = static_cast<int>(width), h = static_cast<int>(height);
    if (!CanCreate(w, h, 1))
        return false;
    const std::size_t rowBytes = (width + 7) / 8;
    const std::int64_t position = stream.Tell(), size = stream.Size();
    if (position >= 0 && size >= 0 && size - position < static_cast<std::int64_t>(rowBytes) * h)
        return fail("Corrupted WBMP");
    if (!Create(w, h, 1, CXIMAGE_FORMAT_WBMP)) {
        SetCreateError("WBMP Create failed");
        return false;
    }
    SetGrayPalette();
    for (int y = h - 1; y >= 0; --y) {
        if (stream.Read(GetBits(y), rowBytes, 1) != 1)
            return fail("Corrupted WBMP");
    }
    return true;
}
