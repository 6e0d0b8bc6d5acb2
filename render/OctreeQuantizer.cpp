#include "render/OctreeQuantizer.h"

#include <algorithm>
#include <vector>

struct ColorQuantizer::Node {
    bool leaf = false;
    std::uint32_t pixelCount = 0;
    // 64 bits, so very large pictures cannot overflow them.
    std::uint64_t red = 0, green = 0, blue = 0, alpha = 0;
    std::array<Node*, 8> children{};
    Node* nextReducible = nullptr;
};

namespace {

int ChildIndex(int level, std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    const int mask = 0x80 >> level;
    const int shift = 7 - level;
    return (((red & mask) >> shift) << 2) | (((green & mask) >> shift) << 1) | ((blue & mask) >> shift);
}

} // namespace

ColorQuantizer::ColorQuantizer(unsigned maxColors, unsigned colorBits)
    : m_maxColors(std::max(maxColors, 16u)), m_outputMaxColors(maxColors), m_colorBits(colorBits > 7 ? 8 : colorBits)
{
}

ColorQuantizer::~ColorQuantizer()
{
    FreeTree(m_root);
}

void ColorQuantizer::FreeTree(Node* node)
{
    if (!node)
        return;
    for (Node* child : node->children)
        FreeTree(child);
    delete node;
}

void ColorQuantizer::AddColor(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha,
                              std::uint32_t count)
{
    Node** slot = &m_root;
    for (int level = 0;; ++level) {
        if (!*slot) {
            Node* created = new Node;
            *slot = created;
            if (level == static_cast<int>(m_colorBits)) {
                created->leaf = true;
                ++m_leafCount;
            } else {
                created->nextReducible = m_reducible[level];
                m_reducible[level] = created;
            }
        }
        Node* node = *slot;
        // After reductions a leaf may sit above the bottom level.
        if (node->leaf) {
            node->pixelCount += count;
            node->red += std::uint64_t(red) * count;
            node->green += std::uint64_t(green) * count;
            node->blue += std::uint64_t(blue) * count;
            node->alpha += std::uint64_t(alpha) * count;
            break;
        }
        slot = &node->children[ChildIndex(level, red, green, blue)];
    }
    while (m_leafCount > m_maxColors)
        Reduce();
}

void ColorQuantizer::Reduce()
{
    // The newest node of the deepest level that has one.
    int level = static_cast<int>(m_colorBits) - 1;
    if (level < 0)
        return;
    while (level > 0 && !m_reducible[level])
        --level;
    Node* node = m_reducible[level];
    if (!node)
        return;
    m_reducible[level] = node->nextReducible;
    unsigned children = 0;
    for (Node*& child : node->children) {
        if (!child)
            continue;
        node->pixelCount += child->pixelCount;
        node->red += child->red;
        node->green += child->green;
        node->blue += child->blue;
        node->alpha += child->alpha;
        FreeTree(child);
        child = nullptr;
        ++children;
    }
    node->leaf = true;
    m_leafCount -= children - 1;
}

bool ColorQuantizer::ProcessImage(const std::uint8_t* pixels, const BITMAPINFOHEADER& header, const RGBQUAD* colours)
{
    const int bits = header.biBitCount;
    if (!pixels || (bits != 1 && bits != 4 && bits != 8 && bits != 24) || (bits <= 8 && !colours))
        return false;
    const std::int64_t width = header.biWidth;
    const std::int64_t height = header.biHeight < 0 ? -std::int64_t(header.biHeight) : header.biHeight;
    const std::size_t stride = static_cast<std::size_t>(((width * bits + 31) / 32) * 4);
    for (std::int64_t y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels + stride * static_cast<std::size_t>(y);
        for (std::int64_t x = 0; x < width; ++x) {
            if (bits == 24) {
                const std::uint8_t* p = row + 3 * x;
                AddColor(p[2], p[1], p[0], 0);
                continue;
            }
            const int index = bits == 8   ? row[x]
                              : bits == 4 ? (x & 1 ? row[x >> 1] & 0x0F : row[x >> 1] >> 4)
                                          : (row[x >> 3] >> (7 - (x & 7))) & 1;
            const RGBQUAD c = colours[index];
            AddColor(c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved);
        }
    }
    return true;
}

namespace {

struct Leaf {
    std::uint64_t red, green, blue, alpha, pixelCount;
};

template <class Visit>
void VisitLeaves(const auto* node, Visit&& visit)
{
    if (!node)
        return;
    if (node->leaf) {
        visit(*node);
        return;
    }
    for (const auto* child : node->children)
        VisitLeaves(child, visit);
}

RGBQUAD Entry(std::uint64_t red, std::uint64_t green, std::uint64_t blue, std::uint64_t alpha, std::uint64_t count)
{
    if (count == 0)
        return RGBQUAD();
    return RGBQUAD{static_cast<std::uint8_t>(blue / count), static_cast<std::uint8_t>(green / count),
                   static_cast<std::uint8_t>(red / count), static_cast<std::uint8_t>(alpha / count)};
}

} // namespace

unsigned ColorQuantizer::GetColorTable(RGBQUAD* entries) const
{
    std::vector<Leaf> leaves;
    VisitLeaves(m_root, [&](const Node& n) {
        const RGBQUAD c = Entry(n.red, n.green, n.blue, n.alpha, n.pixelCount);
        leaves.push_back(Leaf{c.rgbRed, c.rgbGreen, c.rgbBlue, c.rgbReserved, n.pixelCount});
    });
    const std::size_t count = leaves.size();
    if (m_outputMaxColors >= 16 || m_outputMaxColors >= count) {
        for (std::size_t i = 0; i < count; ++i)
            entries[i] = RGBQUAD{static_cast<std::uint8_t>(leaves[i].blue), static_cast<std::uint8_t>(leaves[i].green),
                                 static_cast<std::uint8_t>(leaves[i].red), static_cast<std::uint8_t>(leaves[i].alpha)};
        return static_cast<unsigned>(count);
    }
    // Fewer colours asked than leaves: neighbouring leaves merge into means
    // weighted by their pixel counts.
    const std::size_t wanted = m_outputMaxColors;
    for (std::size_t j = 0; j < wanted; ++j) {
        std::uint64_t red = 0, green = 0, blue = 0, alpha = 0, pixels = 0;
        for (std::size_t i = j * count / wanted; i < (j + 1) * count / wanted; ++i) {
            const Leaf& l = leaves[i];
            red += l.red * l.pixelCount;
            green += l.green * l.pixelCount;
            blue += l.blue * l.pixelCount;
            alpha += l.alpha * l.pixelCount;
            pixels += l.pixelCount;
        }
        entries[j] = Entry(red, green, blue, alpha, pixels);
    }
    return static_cast<unsigned>(wanted);
}
