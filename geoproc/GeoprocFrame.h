#pragma once

#include "mapdoc/DocCommands.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CDrelDoc;
class CLayer;
class CMapRect;
class CShapeArray;
class CSpatialIndex;
class IProgress;

// The steps every layer operation shares: the new layer's names asked in
// dialog 102, the shapes of a layer loaded with their record numbers and
// an index, shapes written into a new file, and the choice and write-back
// of an operation that may change the source layer itself. The files of a
// new layer are written through CNewResultLayer (geoproc/NewResultLayer.h).

// The new layer as the user named it.
struct CResultLayerChoice {
    std::string name;
    std::string path;
    int type = 0;
    CNewLayerOptions options;
};

// The source's file title followed by the operation's suffix ("_buffer"):
// the base of a result layer's proposal.
std::string ResultLayerBase(const CLayer& source, std::string_view suffix);

// Dialog 102 with a free file and a unique name proposed for the base
// (CDrelDoc::SuggestNewLayerNames) and the type preset. On OK with the
// type given, or one of alsoAccepted (a bit 1 << type each), the choice
// holds the name, the type and the path with the extension "gdb" (a Yes to
// replace another file does not stand then) and 1 is returned; another
// type shows 1060, 1061 or 1062 for the type given and returns 0; Cancel,
// or no dialog, returns 0. choice.options go to the dialog as they are.
int PromptResultLayer(CDrelDoc& document, const CDocCommandDialogs& dialogs, const std::string& base, int type,
                      CResultLayerChoice& choice, unsigned alsoAccepted = 0);

// Every shape of a line or area layer (types 1 and 2; others give 0) as
// its reader delivers them under its filter, in that order, under the wait
// cursor; with the arrays given, the record number of each shape, the
// union of their boxes, and an index over the boxes (CSpatialIndex,
// kSourceCellCount cells, item i for shape i; left empty for a layer
// without shapes). 0 when the layer cannot be opened; 0 after 1028 when
// its reader met a malformed object or failed to read.
int LoadShapesIndexed(CLayer& layer, CShapeArray& shapes, std::vector<int32_t>* records, CSpatialIndex* index,
                      CMapRect* box = nullptr);

// A new GDB file of the geometry type at the path with the source layer's
// fields; every shape with points appended in order (of a point file, its
// first point), with the attributes
// of the source record of its number when records are given (else blank).
// The progress, when given, runs over the shapes and may cancel: 0 then,
// as at the first failure; 1 when every shape was written.
int WriteShapesToFile(const CLayer& source, const std::string& path, int type, const CShapeArray& shapes,
                      const std::vector<int32_t>* records, IProgress* progress = nullptr, bool* cancelled = nullptr);

// Where an operation that may work in place writes its result, asked
// before it computes: IDYES into the source layer, IDNO into a new layer,
// IDCANCEL nowhere. Only a layer whose objects may be edited (0x08) and
// whose source can write is asked, with 2021 (Yes, No, Cancel; No the
// default); any other gets a new layer without a question.
int AskWriteInPlace(const CLayer& layer);

// The shapes written back over the records of their numbers: a shape
// without points deletes its record, any other replaces the record's
// geometry. Stops at the first failure, which is told; false then. The
// views of the layer are updated (the overview for 0x20, the map for
// 0x01) when anything was written.
bool WriteShapesBack(CLayer& layer, CDrelDoc& document, const CShapeArray& shapes, const std::vector<int32_t>& records);

// The frame of an operation that may work in place, around its work:
// first where the result goes (AskWriteInPlace) and, for a new layer, its
// names, an area layer proposed under the base (PromptResultLayer): IDYES
// the source layer, IDNO the new layer of the choice, IDCANCEL nowhere
// (also when dialog 102 was cancelled or its type refused).
int AskResultPlace(const CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs, const std::string& base,
                   CResultLayerChoice& choice);
// Then the computed shapes, written back into the source layer
// (WriteShapesBack) or into the new area layer with the source's records
// (WriteShapesToFile through CNewResultLayer), which is added. 1 when they
// were written.
int WriteResultShapes(int place, CLayer& layer, CDrelDoc& document, const CResultLayerChoice& choice,
                      const CShapeArray& shapes, const std::vector<int32_t>& records);
