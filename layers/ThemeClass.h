#pragma once

#include "layers/StyleRecord.h"

#include <cfloat>
#include <memory>
#include <string>

// One class of a thematic classification: a label, its own style and the
// value part of the list's kind. The value kinds are the four classes below.
class CThemeClass {
public:
    static constexpr double kUnset = DBL_MAX;

    virtual ~CThemeClass() = default;
    virtual std::unique_ptr<CThemeClass> Clone() const = 0;

    std::string m_label; // not stored
    CStyleRecord m_style;
};

// Kind 0: one number.
class CThemeNumberClass : public CThemeClass {
public:
    std::unique_ptr<CThemeClass> Clone() const override { return std::make_unique<CThemeNumberClass>(*this); }
    double m_value = kUnset;
};

// Kind 1: a closed numeric range.
class CThemeRangeClass : public CThemeClass {
public:
    std::unique_ptr<CThemeClass> Clone() const override { return std::make_unique<CThemeRangeClass>(*this); }
    double m_low = kUnset;
    double m_high = kUnset;
};

// Kind 2: one text.
class CThemeTextClass : public CThemeClass {
public:
    std::unique_ptr<CThemeClass> Clone() const override { return std::make_unique<CThemeTextClass>(*this); }
    std::string m_value;
};

// Kind 3: a closed range of texts in byte order.
class CThemeTextRangeClass : public CThemeClass {
public:
    std::unique_ptr<CThemeClass> Clone() const override { return std::make_unique<CThemeTextRangeClass>(*this); }
    std::string m_low;
    std::string m_high;
};
