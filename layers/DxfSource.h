#pragma once

#include "layers/DxfReader.h"
#include "layers/FeatureSource.h"

#include <memory>
#include <string>

class CStream;

// A DXF drawing (its ENTITIES section) as a read-only layer: texts and
// points through ReadNextPoint, lines, polylines, circles, arcs and solids
// through ReadNextShape. Each pass numbers its own objects from 0 in the
// order of the file. The attribute table lives in memory and holds the
// object last read: LABEL (the text of a text, else the sequence number
// "%04d" from 0001), LAYER, SHAPE, and for shapes COLOR, CLOSED and NP.
// An entity without group 8 or 62 takes the layer or colour of the object
// before it.
//
// The drawing has no extent and no index; the readers apply none of the
// restrictions of the base. Every pass starts again at the entities
// section when the readers are rewound. Object n, its attributes too, is
// read by reading on to it, from the section's start when it lies behind.
class CDxfSource : public CFeatureSource {
public:
    // The attribute fields, in this order.
    enum Field : int { kLabelField, kLayerField, kShapeField, kColorField, kClosedField, kPointCountField };

    CDxfSource() = default;
    ~CDxfSource() override;

    bool IsOpen() const override { return m_stream != nullptr; }
    bool Open(const std::string& path) override;
    // A drawing from a stream (memory streams in tests and fuzzing).
    bool OpenStream(std::unique_ptr<CStream> stream);
    void Close() override;
    bool ReadPoint(int n, CMapPoint& point) override;
    bool ReadShape(int n, CShape& shape) override;
    bool ReadNextPoint(CMapPoint& point) override;
    bool ReadNextShape(CShape& shape) override;
    // The searches walk the whole drawing from its first object.
    bool FindNearestLine(const CMapPoint& point, CRecordArray& records, double* distance) override;
    bool FindAreasAt(const CMapPoint& point, CRecordArray& records) override;
    bool GetExtent(CMapRect& extent) override { return false; }
    // Any type: the layer decides how the objects are read.
    bool AcceptType(int type) override
    {
        m_type = type;
        return true;
    }
    int GetShapeType() const override { return m_type; }

    // The drawing has an ENTITIES section.
    bool HasEntities() const { return m_hasEntities; }

protected:
    bool GoToAttributeRecord(int n) override;

private:
    // Where a pass stands in the drawing, and what it carries over.
    struct CWalk {
        CDxfReader::CPosition at;
        CDxfReader::Pass pass = CDxfReader::kShapes;
        int next = 0; // the record number of the next object
        std::string layer;
        int color = 0;
    };

    bool Fail(int error);
    CWalk Save() const;
    void Restore(const CWalk& walk);
    void Restart(CDxfReader::Pass pass);
    // The pass of the records numbered last: the readers' own, else the layer type's.
    CDxfReader::Pass RecordPass() const;
    // The next object of the pass into m_entity, numbered; false at the end.
    bool Step(CDxfReader::Pass pass);
    // Stands where the next Step of the pass gives record n.
    bool SeekRecord(CDxfReader::Pass pass, int n);
    // The object of the pass numbered n; false when the drawing has none.
    bool ReadRecord(CDxfReader::Pass pass, int n);
    bool ReadNext(CDxfReader::Pass pass);
    // The object read last becomes the current record and fills the table.
    void Deliver();

    std::unique_ptr<CStream> m_stream;
    std::unique_ptr<CDxfReader> m_reader;
    CDxfReader::CPosition m_sectionStart;
    bool m_hasEntities = false;
    int m_type = kLine;
    CWalk m_walk;
    bool m_walked = false;
    // The walk before the object read last, to read it again at once.
    CWalk m_beforeLast;
    bool m_hasBeforeLast = false;
    CDxfEntity m_entity;
    CDxfReader::Pass m_tablePass = CDxfReader::kShapes;
};
