#pragma once

// The measures of the current map object that the OBJ_ functions of a filter
// return. The code that filters map objects implements it and sets it into
// the expression; the units are its own.
class CExprObjectProvider {
public:
    virtual ~CExprObjectProvider() = default;
    virtual double GetArea() = 0;
    // Length of a line, perimeter of an area.
    virtual double GetLength() = 0;
    virtual int GetPartCount() = 0;
    virtual int GetPointCount() = 0;
    virtual bool IsClosed() = 0;
};
