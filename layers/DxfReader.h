#pragma once

#include "core/MapPoint.h"
#include "core/Shape.h"

#include <cstdint>
#include <string>
#include <vector>

class CStream;

// One entity of a drawing as the DXF source delivers it: a point or text,
// or a shape of one part.
struct CDxfEntity {
    enum Kind : int { kText, kPoint, kLine, kPolyline, kLwPolyline, kCircle, kArc, kSolid };

    Kind kind = kPoint;
    // Groups 8 and 62, when the entity has them.
    bool hasLayer = false;
    bool hasColor = false;
    std::string layer;
    int color = 0;
    std::string text; // group 1 of a text
    CMapPoint point;  // of a point or text
    CShape shape;     // of the other kinds
    bool closed = false;

    bool IsPointKind() const { return kind == kText || kind == kPoint; }
    // The kind as the SHAPE field names it ("POLYLINE" for both polylines).
    const char* KindName() const;
};

// Reads the ENTITIES section of an ASCII drawing exchange file. The file is
// group pairs: a line with the group code (an integer, blanks around it
// allowed) and a line with the value, LF or CRLF ended. Lines are read
// whole however long they are; a value keeps its first kMaxValue
// characters. Names of entities and sections match in any letter case.
//
// Every entity ends at the next pair of code 0, whatever it lacks, so a
// broken entity never reads into the next one. An entity without the
// groups its geometry needs, or whose coordinates are no finite numbers,
// is passed over like the kinds a pass does not read.
class CDxfReader {
public:
    static constexpr size_t kMaxValue = 200;
    // Curves are drawn in steps of this many degrees.
    static constexpr double kCurveStep = 5.0;

    enum Result { kFound, kEnd, kBadCode };
    // What a pass reads: texts and points, or the shapes.
    enum Pass { kPoints, kShapes };

    // Where the reader stands, to come back to.
    struct CPosition {
        int64_t offset = 0;  // of the next line
        std::string pending; // the name of a code-0 pair read but not yet taken
        bool hasPending = false;
        bool ended = false; // the section or the file ended
    };

    explicit CDxfReader(CStream& stream);
    CDxfReader(const CDxfReader&) = delete;
    CDxfReader& operator=(const CDxfReader&) = delete;

    // From the start of the stream to the first pair after the pair
    // "0 SECTION" directly followed by "2 ENTITIES"; kEnd when the drawing
    // has no such section (the reader then stands at its end).
    Result FindEntities();
    // The next entity of the pass. kEnd at ENDSEC, at the start of another
    // section, at EOF and at the end of the stream; kBadCode at a code line
    // that is no number.
    Result Next(Pass pass, CDxfEntity& entity);

    CPosition GetPosition() const;
    void SetPosition(const CPosition& position);

private:
    class CParse;

    bool Fill();
    bool ReadLine(std::string& line);
    Result ReadPair(int& code, std::string& value);
    // Reads the pairs of an entity up to the next code-0 pair, whose name
    // becomes pending, handing each to visit (null: passed over). kEnd
    // when the stream ended first.
    template <class Visit>
    Result ReadBody(Visit visit);
    Result ReadBody();
    // The VERTEX entities of a POLYLINE up to its SEQEND.
    Result ReadVertices(CParse& parse);

    CStream& m_stream;
    std::vector<char> m_buffer;
    int64_t m_bufferStart = 0; // the stream offset of the buffer's first byte
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_streamFailed = false;
    std::string m_pending;
    bool m_hasPending = false;
    bool m_ended = false;
    std::string m_codeLine;
    std::string m_value;
    std::vector<CMapPoint> m_vertices;
};
