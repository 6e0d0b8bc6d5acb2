#pragma once

class CDrelDoc;
class CLayer;
class CShape;
struct CDocCommandDialogs;

// Thinning: vertices within a tolerance of the line through their
// neighbours are removed.

// The shape simplified within the tolerance in metres (CShape::Generalize
// with the metres per unit, no second pass); then, for an area, rings left
// with fewer than 3 distinct points are removed. Returns the number of
// vertices removed, those of removed rings included.
int ThinShape(CShape& shape, bool area, double metres, double metresPerUnitX, double metresPerUnitY);

// "Išretinti taškus..." for a line or area layer: the tolerance asked
// (287, from its last one, 1.0 m at first; Cancel or 0 or less ends), the
// result proposed under the source's file title with the source's type
// fixed and GDB files only, its name made unique; every shape thinned and
// written with its source record when parts are left, into the new layer,
// which is added; 3051 tells how many vertices went. A cancel adds what
// was written; a failure adds nothing and is told instead. 1 when the
// layer was added.
int ThinVertices(CLayer& layer, CDrelDoc& document, const CDocCommandDialogs& dialogs);
