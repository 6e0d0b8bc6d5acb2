#pragma once

#include <functional>
#include <string>

class CLayer;
class CShape;
class IProgress;
class CMapPoint;
enum class EOperationEnd;

// How a copy changes each object; an empty function leaves it as read.
struct CObjectChange {
    std::function<void(CShape&)> shape;
    std::function<void(CMapPoint&)> point;
};

// A changed copy of a point, line or area layer at the path: a new file of
// the layer's type with its fields, each object read in order under its
// filter, changed, and appended with its record; a shape the change left
// without points is left out. The progress, when given, runs over the
// layer's records and may cancel (kCancelled; what was written stays in
// the file). kFailed when a file could not be opened or written, or an
// object was passed over as malformed (told by 1028).
EOperationEnd WriteChangedCopy(CLayer& layer, const std::string& path, const CObjectChange& change,
                               IProgress* progress);
