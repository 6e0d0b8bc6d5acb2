#pragma once

#include <string>
#include <vector>

class CDbfTable;
class CDrelDoc;
class CLayer;

// City blocks and street surfaces from street centre lines: the network
// (closed by a bounding-rectangle layer) is made a topology, and every
// face is traced in the street-width mode (geoproc/ClosedAreas.h).

// What dialog 30806 "Kvartalų sluoksnio kūrimas" chose.
struct CStreetBlockChoice {
    // 0 one width for all streets, 1 the width from a field.
    int mode = 1;
    double width = 1.0; // metres
    std::string widthField;
    // The bounding-rectangle layer's name.
    std::string frameLayer;
    double tolerance = 1.0; // metres
    std::string blockName;
    std::string blockPath;
    std::string streetName;
    std::string streetPath;
};

// The rules of dialog 30806: radios 1024/1025 the mode (edit 1017 the
// width in mode 0, combo 1012 the field in mode 1), combo 1021 the frame
// layer, edit 1112 the tolerance (0 to 100), edits 1004/1005 and
// 1007/1008 the layers' names and files. The field and the frame layer are
// proposed by their last names ("Plotis" and "Rėmelis" at first), the
// tolerance is the last one (1.0 at first).
class CStreetBlockRules {
public:
    static constexpr double kMaxTolerance = 100;
    static constexpr char kFileFilter[] = "Drel GDB Files (*.gdb)|*.gdb||";
    enum Control : int {
        kDialog = 30806,
        kBlockName = 1004,
        kBlockFile = 1005,
        kBlockFiles = 1006,
        kStreetName = 1007,
        kStreetFile = 1008,
        kStreetFiles = 1009,
        kWidthField = 1012,
        kWidth = 1017,
        kFrameLayer = 1021,
        kOneWidth = 1024,
        kFieldWidth = 1025,
        kTolerance = 1112,
    };

    // The dialog's start: mode 1, width 1.0, the last tolerance and names.
    static CStreetBlockChoice Start();
    // The street table's fields of type N or F, in table order.
    static std::vector<std::string> WidthFields(const CDbfTable& table);
    // The document's line and area layers, in layer order.
    static std::vector<std::string> FrameLayers(const CDrelDoc& document);
    // The one of the names matching the remembered one (any case); else -1.
    static int ProposedField(const std::vector<std::string>& fields);
    static int ProposedFrame(const std::vector<std::string>& layers);

    // OK: 1103 for a width missing in its mode (mode 0: not above 0; mode
    // 1: no field), 1001 for a layer name the document has, each file made
    // absolute against the map's folder and 2000 asked when it exists
    // (No refuses). False with the control to focus after the message;
    // true with the files absolute and the field, frame layer and
    // tolerance remembered.
    static bool Accept(const CDrelDoc& document, CStreetBlockChoice& choice, int& focus);
};

// The block operation on the street layer: dialog 30806 (names proposed
// from "Kvartalai" and "Gatvesp"; "<None1>" and "<None2>" without files
// when regenerating), the streets with a width above 0 of the chosen field
// (mode 1, when the layer has no filter of its own) and the frame layer's
// lines made a topology in temporary files, then the blocks and street
// surfaces written to the files named (an empty one: not written), both
// added as area layers unless regenerating. Regenerating goes on to write
// "<title>_topo.gdb" and "gatveles.gdb" in the map's folder from the
// street layer's objects by their "Tipas". The street layer's filter is
// its own again on every path. 1 when the blocks were built.
int BuildStreetBlocks(CLayer& streets, CDrelDoc& document, bool regenerate);
