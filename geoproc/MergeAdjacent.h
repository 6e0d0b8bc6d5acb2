#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CDrelDoc;
class CLayer;
class CShapeArray;
class CSpatialIndex;
class IProgress;
struct CDocCommandDialogs;

// Merging of neighbours: touching areas become one area, lines that
// continue each other one line, optionally only those whose chosen fields
// are equal.

// A field dialog 30801 offers: its caption (the alias where the layer has
// one) and its name.
struct CMergeField {
    std::string caption;
    std::string name;
};
// The layer table's fields that are not hidden, in table order.
std::vector<CMergeField> MergeFieldChoices(const CLayer& layer);
// What OK gives: the ticked names joined by TAB (empty for none).
std::string JoinMergeFields(const std::vector<std::string>& names);

// The merge key of every loaded object: none without fields; one N or F
// field as a number (7 equals 7.0); one field of another type as its
// trimmed text; several fields as one text of all their values.
class CMergeKeys {
public:
    enum Kind { kNone, kNumber, kText };

    // The keys of the records (one per loaded shape) for the TAB-joined
    // field names. False for a memo field (nothing told) and for a field
    // or record that is not there (told: 1008, 1028).
    bool Read(CLayer& layer, const std::string& fieldNames, const std::vector<int32_t>& records);
    // For tests and benchmarks.
    void SetNumbers(std::vector<double> numbers);
    void SetTexts(std::vector<std::string> texts);

    Kind GetKind() const { return m_kind; }
    bool Equal(int a, int b) const;

private:
    Kind m_kind = kNone;
    std::vector<double> m_numbers;
    std::vector<std::string> m_texts;
};

// The areas in memory, each chain of touching areas (AreasOverlap) of
// equal keys united into the first of the chain in load order; the others
// are emptied. Without an index each area is compared with the later
// ones in order and the first touching one of an equal key receives
// their union (the chain ends in its last area). An area whose union
// cannot be computed is left as it was. 0 at Cancel.
int MergeAdjacentAreas(CShapeArray& shapes, CSpatialIndex* index, const CMergeKeys& keys, IProgress* progress);

// The lines in memory: for each line i in load order with its ends F and
// L as they are by then, the first later line j of an equal key for which
// F is j's last point (j then i), F is j's first (j reversed, then i), L
// is j's last (j then i reversed) or L is j's first (i then j), tested in
// that order, exact coordinates; the joint is kept once and i emptied. A
// chain thus ends in its latest line. Given joinedInto, it gets for each
// line the later line it was joined to, -1 for none. 0 at Cancel.
int MergeAdjacentLines(CShapeArray& shapes, const CMergeKeys& keys, IProgress* progress,
                       std::vector<int>* joinedInto = nullptr);

// The same over a layer's loaded shapes with the keys of the fields;
// 0 also for a memo key field.
int MergeAdjacentAreas(CLayer& layer, CShapeArray& shapes, CSpatialIndex* index, const std::vector<int32_t>& records,
                       const std::string& fieldNames);
int MergeAdjacentLines(CLayer& layer, CShapeArray& shapes, const std::vector<int32_t>& records,
                       const std::string& fieldNames, std::vector<int>* joinedInto = nullptr);

// "&Apjungti gretimus objektus...": the key fields asked (30801), the
// result proposed under the source's file title with its type preset
// (another type: 1061, 1062 for areas), the neighbours merged and every
// shape left written with its source record into a new layer, which is
// added. 1 when it was; 0 at Cancel, for a memo key, and after a failure
// (told).
int MergeAdjacent(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
