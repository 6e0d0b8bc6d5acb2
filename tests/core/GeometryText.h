#pragma once

#include "core/Shape.h"
#include "core/ShapeArray.h"
#include "platform/NumberText.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Geometry written as text in test tables: "x y, x y, ..." for a run of
// points, parts of a shape separated by '|' ("0 0, 1 1 | 5 5" has two
// parts, "" one empty part, "|" two empty ones).

inline std::vector<CMapPoint> ParsePoints(std::string_view text)
{
    std::vector<CMapPoint> points;
    size_t at = 0;
    for (;;) {
        size_t used = 0;
        const double x = ParseDoubleC(text.substr(at), &used);
        if (used == 0)
            break;
        at += used;
        const double y = ParseDoubleC(text.substr(at), &used);
        at += used;
        points.emplace_back(x, y);
        while (at < text.size() && (text[at] == ',' || text[at] == ' '))
            ++at;
    }
    return points;
}

inline void ParseShape(std::string_view text, CShape& shape)
{
    shape.SetSize(0, 0);
    for (size_t start = 0;;) {
        const size_t bar = text.find('|', start);
        const std::vector<CMapPoint> part = ParsePoints(text.substr(start, bar - start));
        shape.Points().Append(part.data(), static_cast<int>(part.size()));
        shape.PartSizes().push_back(static_cast<uint32_t>(part.size()));
        if (bar == std::string_view::npos)
            break;
        start = bar + 1;
    }
    shape.RecalcBounds();
}

// The shape of a text as ParseShape reads it.
inline CShape Shape(std::string_view text)
{
    CShape shape;
    ParseShape(text, shape);
    return shape;
}

inline std::string ShapeText(const CShape& shape)
{
    std::string text;
    int i = 0;
    for (int k = 0; k < shape.GetPartCount(); ++k) {
        if (k > 0)
            text += " |";
        for (int j = 0; j < shape.GetPartSize(k) && i < shape.GetPointCount(); ++j, ++i)
            text += FormatC("%s%.10g %.10g", j == 0 ? (k > 0 ? " " : "") : ", ", shape.GetPoint(i).x,
                            shape.GetPoint(i).y);
    }
    return text;
}

inline std::string PointsText(const CMapPoint* points, int n)
{
    CShape shape;
    shape.SetPoints(n, points);
    return ShapeText(shape);
}

// A shape per text, appended in order.
inline void FillShapes(CShapeArray& shapes, const std::vector<std::string>& texts)
{
    for (const std::string& text : texts)
        shapes.Add(std::make_unique<CShape>(Shape(text)));
}

inline std::vector<std::string> ShapeTexts(const CShapeArray& shapes)
{
    std::vector<std::string> texts;
    for (int i = 0; i < shapes.GetSize(); ++i)
        texts.push_back(ShapeText(*shapes[i]));
    return texts;
}
