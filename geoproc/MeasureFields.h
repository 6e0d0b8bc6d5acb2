#pragma once

class CDrelDoc;
class CLayer;

// Measures of the layer's objects written straight into fields of its own
// attribute table, for the records that pass its filter. A layer whose
// attribute data may not be edited (no 0x10) is refused with 1035; a
// field the dialog names that the table lacks ends the work silently.
// A value too wide for its field is stored as the table engine stores it
// ('*') and counted, and the count is told once at the end; any other
// failing write stops the work at once with one message. Records written
// before it keep their new values. 1 when the work ran through.

// Dialog 275 in lengths mode: the length of each line or area in "m" or
// "km", great-circle on a degree map. Other types give 0.
int WriteLengthsToField(CLayer& layer, CDrelDoc& document);
// Dialog 275 in areas mode: the area of each area in "kv. m" or "kv. km".
int WriteAreasToField(CLayer& layer, CDrelDoc& document);
// Points and tracks: x and y into two fields (dialog 30777, both needed).
// Lines and areas: the first point and the last point of the last part
// into up to four fields (dialog 30778), a missing one skipped. Both
// optionally converted from one coordinate system to another, the source
// taken as geographic when unset on a degree map. Other types give 0.
int WriteCoordinatesToField(CLayer& layer, CDrelDoc& document);
