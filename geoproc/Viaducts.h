#pragma once

#include <unordered_set>

class CDrelDoc;
class CLayer;

// Node numbers from this one on belong to viaducts already separated.
constexpr long kViaductNodeBase = 500000;

// The new numbers a separated node takes in one network: n + 500000 while
// no link uses it, else the next number above the largest in use, so that
// two crossings never share one.
class CViaductNumbers {
public:
    void Use(long node);
    long Take(long node);

private:
    std::unordered_set<long> m_used;
    long m_largest = 0;
};

// "Taisyti viadukus" on a link layer: for each line of a sketch layer
// chosen in dialog 30799, from link A of a road to link B across a
// crossing, the node they share (below 500000) gets a new number in both
// (CViaductNumbers), by the first rule that holds: A's and B's from-nodes,
// A's from-node and B's to-node, A's to-node and B's from-node, A's and
// B's to-nodes. First, in order: a line layer (else 1061), whose
// attributes may be edited (else 1035), whose data open (else silence),
// with both node fields (else 1079). Lines near no link or meeting no rule
// are passed over without a word; numbers that a field cannot hold are
// not written, told by 1045 at the end, and malformed sketch lines by
// 1028. 1 when the sketch layer was gone through; 0 otherwise.
int FixViaducts(CLayer& layer, CDrelDoc& document);
