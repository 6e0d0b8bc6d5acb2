#include "platform/Blitter.h"
#include "platform/Gdi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// A picture of any size whose pixel (x, y) has a colour made from x and y,
// counting the pixels read.
class CCountingPicture : public IBlitSource {
public:
    CCountingPicture(int width, int height) : m_width(width), m_height(height) {}
    int Width() const override { return m_width; }
    int Height() const override { return m_height; }
    void ReadRow(int y, int x0, int x1, std::uint32_t* colours) const override
    {
        EXPECT_TRUE(y >= 0 && y < m_height && x0 >= 0 && x0 < x1 && x1 <= m_width) << y << ": " << x0 << " .. " << x1;
        for (int x = x0; x < x1; ++x)
            *colours++ = Colour(x, y);
        read += x1 - x0;
    }
    bool ReadIndexes(int y, int x0, int x1, std::uint8_t* indexes) const override
    {
        for (int x = x0; x < x1; ++x)
            *indexes++ = static_cast<std::uint8_t>(x % 7);
        indexesRead += x1 - x0;
        return true;
    }
    static std::uint32_t Colour(int x, int y)
    {
        return (std::uint32_t(x) * 2654435761u ^ std::uint32_t(y) * 40503u) >> 8;
    }

    mutable std::int64_t read = 0;
    mutable std::int64_t indexesRead = 0;

private:
    int m_width;
    int m_height;
};

} // namespace

TEST(Blitter, ShrinkingToThePixelUnderEachCentreReadsThosePixelsOnly)
{
    struct Case {
        const char* name;
        bool mirror;
        BlitKey key;
    };
    const Case cases[] = {
        {"plain", false, BlitKey{}},
        {"mirrored", true, BlitKey{}},
        {"keyed by index", false, BlitKey{BlitKey::Index, 3}},
    };
    constexpr int kWide = 10000000, kRows = 3, kShrunk = 200;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CCountingPicture picture(kWide, kRows);
        const CBlitter::Geometry geometry{CRect(0, 0, kShrunk, kRows), CRect(0, 0, kWide, kRows), c.mirror, false};
        int rows = 0;
        CBlitter::Stretch(picture, geometry, CRect(0, 0, kShrunk, kRows), COLORONCOLOR, c.key,
                          [&](int y, int x0, int count, const std::uint32_t* colours, const std::uint8_t* mask) {
                              ++rows;
                              ASSERT_EQ(x0, 0);
                              ASSERT_EQ(count, kShrunk);
                              for (int i = 0; i < count; ++i) {
                                  const auto offset =
                                      static_cast<int>((2 * std::int64_t(i) + 1) * kWide / (2 * kShrunk));
                                  const int column = c.mirror ? kWide - 1 - offset : offset;
                                  EXPECT_EQ(colours[i], CCountingPicture::Colour(column, y)) << i;
                                  EXPECT_EQ(mask[i] != 0, c.key.kind == BlitKey::None || column % 7 != 3) << i;
                              }
                          });
        EXPECT_EQ(rows, kRows);
        EXPECT_EQ(picture.read, std::int64_t(kShrunk) * kRows);
        EXPECT_EQ(picture.indexesRead, c.key.kind == BlitKey::Index ? std::int64_t(kShrunk) * kRows : 0);
    }
    // Columns a few apart are read in one go with the ones between; a mean
    // reads every pixel it weighs.
    for (int mode : {COLORONCOLOR, HALFTONE, BLACKONWHITE}) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const CCountingPicture picture(4000, 2);
        const CBlitter::Geometry geometry{CRect(0, 0, 1000, 2), CRect(0, 0, 4000, 2), false, false};
        CBlitter::Stretch(picture, geometry, CRect(0, 0, 1000, 2), mode, BlitKey{},
                          [](int, int, int, const std::uint32_t*, const std::uint8_t*) {});
        EXPECT_LE(picture.read, 4000 * 2);
        EXPECT_GE(picture.read, mode == COLORONCOLOR ? 1000 * 2 : 4000 * 2);
    }
}
