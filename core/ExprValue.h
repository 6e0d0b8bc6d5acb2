#pragma once

#include <cstdint>
#include <string>

// Value types of filter expressions, also the result types of CExpr.
enum : int {
    kExprLogical = 0,
    kExprString = 6,
    kExprNumber = 8,
    kExprDate = 10, // days since 30 December 1899
    kExprNotCompiled = -2,
};

// The date value of a blank or impossible date: below every valid date, so
// such dates sort first and equal only each other.
constexpr double kExprInvalidDate = -1.0e9;

// The result of one evaluation; only the member of its type is meaningful.
class CExprValue {
public:
    int type = kExprNotCompiled;
    int32_t logical = 0;
    double number = 0; // numbers and dates
    std::string text;
};
