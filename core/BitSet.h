#pragma once

#include <cstdint>
#include <memory>

// One bit per record of a layer: the spatial index sets the records whose
// boxes meet a query, and the reader walks them in record order:
// for (int i = set.FindNext(-1); i >= 0; i = set.FindNext(i)).
// Bit i is bit i % 32 (from the least significant) of word i / 32.
class CBitSet {
public:
    CBitSet() = default;
    virtual ~CBitSet() { Free(); }
    CBitSet(const CBitSet&) = delete;
    CBitSet& operator=(const CBitSet&) = delete;

    // n bits, all clear, the old ones freed. False for n <= 0 and when
    // memory runs out; the set is then empty.
    bool Allocate(int n);
    void Free();
    // Bits outside the set are ignored.
    void Set(int i);
    // The lowest set bit above i (from bit 0 for i < 0), or -1.
    int FindNext(int i) const;

    int GetBitCount() const { return m_bitCount; }
    int GetWordCount() const { return m_wordCount; }

private:
    std::unique_ptr<uint32_t[]> m_words;
    int m_bitCount = 0;
    int m_wordCount = 0;
};
