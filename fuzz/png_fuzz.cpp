// fuzz-deps: drel_render
// Decodes bytes as a PNG picture and checks what it gives, as the
// picture caches would use it. The chunks' CRCs are put right first:
// mutated chunks would otherwise stop at the CRC check and never reach
// the decoder's own work.
#include "fuzz/PictureFuzz.h"
#include "platform/ByteOrder.h"

#include <zlib.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> bytes(data, data + size);
    for (std::size_t at = 8; at + 12 <= bytes.size();) {
        const std::uint32_t length = GetBigEndian<std::uint32_t>(bytes.data() + at);
        if (length > bytes.size() - at - 12)
            break;
        const std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, bytes.data() + at + 4, length + 4));
        PutBigEndian<std::uint32_t>(bytes.data() + at + 8 + length, crc);
        at += 12 + std::size_t(length);
    }
    return FuzzPicture(bytes.data(), bytes.size(), CXIMAGE_FORMAT_PNG);
}
