#include "core/BitSet.h"

#include <bit>
#include <new>

bool CBitSet::Allocate(int n)
{
    Free();
    if (n <= 0)
        return false;
    const int words = static_cast<int>((static_cast<int64_t>(n) + 31) / 32);
    m_words.reset(new (std::nothrow) uint32_t[static_cast<size_t>(words)]());
    if (!m_words)
        return false;
    m_bitCount = n;
    m_wordCount = words;
    return true;
}

void CBitSet::Free()
{
    m_words.reset();
    m_bitCount = 0;
    m_wordCount = 0;
}

void CBitSet::Set(int i)
{
    if (i >= 0 && i < m_bitCount)
        m_words[static_cast<size_t>(i / 32)] |= uint32_t{1} << (i % 32);
}

int CBitSet::FindNext(int i) const
{
    const int64_t j = i < 0 ? 0 : static_cast<int64_t>(i) + 1;
    if (j >= m_bitCount)
        return -1;
    int word = static_cast<int>(j / 32);
    // The rest of the first word, then whole words; empty ones are skipped.
    uint32_t bits = m_words[static_cast<size_t>(word)] >> (j % 32);
    if (bits != 0)
        return static_cast<int>(j) + std::countr_zero(bits);
    for (++word; word < m_wordCount; ++word) {
        bits = m_words[static_cast<size_t>(word)];
        if (bits != 0)
            return word * 32 + std::countr_zero(bits);
    }
    return -1;
}
