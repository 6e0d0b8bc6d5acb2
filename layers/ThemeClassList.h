#pragma once

#include "layers/ThemeClass.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CArchive;

// The classes of a sublayer classified by a field's value. The last class
// always takes every value that no other class holds; its value is never
// compared. A list of kind k holds only classes of kind k.
class CThemeClassList {
public:
    enum Kind : int16_t { kNumbers = 0, kNumberRanges = 1, kTexts = 2, kTextRanges = 3 };

    CThemeClassList() = default;
    CThemeClassList(const CThemeClassList& other) { CopyFrom(other); }
    CThemeClassList& operator=(const CThemeClassList& other)
    {
        if (this != &other)
            CopyFrom(other);
        return *this;
    }

    int GetKind() const { return m_kind; }
    // Deletes every class and sets the kind.
    void SetKind(bool singleValues, bool numeric);
    void SetSingleValues(bool singleValues) { SetKind(singleValues, IsNumeric()); }
    void SetNumeric(bool numeric) { SetKind(IsSingleValues(), numeric); }
    bool IsNumeric() const { return m_kind == kNumbers || m_kind == kNumberRanges; }
    bool IsSingleValues() const { return m_kind == kNumbers || m_kind == kTexts; }

    int GetCount() const { return static_cast<int>(m_classes.size()); }
    // Null outside 0..count-1.
    CThemeClass* GetClass(int index) const;
    const std::string& GetText() const { return m_text; }
    void SetText(std::string text) { m_text = std::move(text); }

    // Every class replaced by copies of the other's, kind and text taken over.
    bool CopyFrom(const CThemeClassList& other);
    void RemoveAll() { m_classes.clear(); }

    // Appends a class of the list's kind, value unset, with the default
    // style of the geometry type (0 and 10 point, 1 line, 2 and 4 area).
    CThemeClass* AddClass(int geometryType);
    // Inserts a class at index 0..count; null when the index is outside or
    // the list is of another kind.
    CThemeNumberClass* InsertNumberClass(int index, int geometryType, double value);
    CThemeRangeClass* InsertRangeClass(int index, int geometryType, double low, double high);
    CThemeTextClass* InsertTextClass(int index, int geometryType, std::string_view text);
    CThemeTextRangeClass* InsertTextRangeClass(int index, int geometryType, std::string_view low,
                                               std::string_view high);
    bool RemoveClass(int index);

    // The class of a field's text: the first class (the last excluded) that
    // holds it, else the last class; null for an empty list.
    CThemeClass* FindClass(std::string_view fieldText) const;
    // The same for a number; null for text kinds.
    CThemeClass* FindNumberClass(double value) const;

    // The class's value as the user sees and types it; the last class is
    // "<Kitais atvejais>". A text range is split at its first " - ".
    std::string GetClassText(int index) const;
    bool SetClassValue(int index, std::string_view text);

    // The value in the value or range dialog, the style in the style dialog
    // of the geometry type; the class changes only on OK. True on OK.
    bool EditClassValue(int index);
    bool EditClassStyle(int geometryType, int index);

    enum StyleType : int { kNoStyle = -1, kPointStyle = 0, kLineStyle = 1, kAreaStyle = 2 };
    // The style the classes of a geometry type hold: 0 and 10 points, 1
    // lines, 2 and 4 areas.
    static StyleType StyleTypeOf(int geometryType);

    // Count, kind, then each class's style (and symbol name) and value.
    void Serialize(CArchive& archive);

private:
    std::unique_ptr<CThemeClass> MakeClass() const;
    bool CanInsert(int index, Kind kind) const;
    void SerializeValue(CArchive& archive, CThemeClass& themeClass) const;
    CThemeClass* Insert(int index, int geometryType, std::unique_ptr<CThemeClass> themeClass);

    std::vector<std::unique_ptr<CThemeClass>> m_classes;
    std::string m_text; // not stored
    int16_t m_kind = kNumbers;
};
