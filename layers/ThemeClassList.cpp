#include "layers/ThemeClassList.h"

#include "layers/ClassEditDialogs.h"
#include "platform/Archive.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"

namespace {

constexpr int kOtherValuesText = 3005;

// The first class but the last that holds a value, else the last; null for no classes.
template <class Holds>
CThemeClass* FirstHolding(const std::vector<std::unique_ptr<CThemeClass>>& classes, Holds holds)
{
    if (classes.empty())
        return nullptr;
    for (size_t i = 0; i + 1 < classes.size(); ++i)
        if (holds(*classes[i]))
            return classes[i].get();
    return classes.back().get();
}

std::string NumberText(double value)
{
    return FormatC("%.15g", value);
}

// sscanf "%lf": blanks, then a number; false when none stands there.
bool ScanNumber(std::string_view& text, double& value)
{
    size_t used = 0;
    double v = ParseDoubleC(text, &used);
    if (used == 0)
        return false;
    value = v;
    text.remove_prefix(used);
    return true;
}

// sscanf " - ": any blanks, the dash, any blanks.
bool ScanDash(std::string_view& text)
{
    size_t start = text.find_first_not_of(" \t\n\v\f\r");
    if (start == std::string_view::npos || text[start] != '-')
        return false;
    text.remove_prefix(start + 1);
    return true;
}

} // namespace

void CThemeClassList::SetKind(bool singleValues, bool numeric)
{
    m_classes.clear();
    if (numeric)
        m_kind = singleValues ? kNumbers : kNumberRanges;
    else
        m_kind = singleValues ? kTexts : kTextRanges;
}

CThemeClass* CThemeClassList::GetClass(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return m_classes[static_cast<size_t>(index)].get();
}

bool CThemeClassList::CopyFrom(const CThemeClassList& other)
{
    m_classes.clear();
    m_text = other.m_text;
    std::vector<std::unique_ptr<CThemeClass>> copies;
    try {
        copies.reserve(other.m_classes.size());
        for (const auto& themeClass : other.m_classes)
            copies.push_back(themeClass->Clone());
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_classes = std::move(copies);
    m_kind = other.m_kind;
    return true;
}

std::unique_ptr<CThemeClass> CThemeClassList::MakeClass() const
{
    switch (m_kind) {
    case kNumbers:
        return std::make_unique<CThemeNumberClass>();
    case kNumberRanges:
        return std::make_unique<CThemeRangeClass>();
    case kTexts:
        return std::make_unique<CThemeTextClass>();
    default:
        return std::make_unique<CThemeTextRangeClass>();
    }
}

bool CThemeClassList::CanInsert(int index, Kind kind) const
{
    return m_kind == kind && index >= 0 && index <= GetCount();
}

CThemeClass* CThemeClassList::Insert(int index, int geometryType, std::unique_ptr<CThemeClass> themeClass)
{
    themeClass->m_style = CStyleRecord::DefaultFor(StyleTypeOf(geometryType));
    CThemeClass* added = themeClass.get();
    m_classes.insert(m_classes.begin() + index, std::move(themeClass));
    return added;
}

CThemeClass* CThemeClassList::AddClass(int geometryType)
{
    return Insert(GetCount(), geometryType, MakeClass());
}

CThemeNumberClass* CThemeClassList::InsertNumberClass(int index, int geometryType, double value)
{
    if (!CanInsert(index, kNumbers))
        return nullptr;
    auto themeClass = std::make_unique<CThemeNumberClass>();
    themeClass->m_value = value;
    return static_cast<CThemeNumberClass*>(Insert(index, geometryType, std::move(themeClass)));
}

CThemeRangeClass* CThemeClassList::InsertRangeClass(int index, int geometryType, double low, double high)
{
    if (!CanInsert(index, kNumberRanges))
        return nullptr;
    auto themeClass = std::make_unique<CThemeRangeClass>();
    themeClass->m_low = low;
    themeClass->m_high = high;
    return static_cast<CThemeRangeClass*>(Insert(index, geometryType, std::move(themeClass)));
}

CThemeTextClass* CThemeClassList::InsertTextClass(int index, int geometryType, std::string_view text)
{
    if (!CanInsert(index, kTexts))
        return nullptr;
    auto themeClass = std::make_unique<CThemeTextClass>();
    themeClass->m_value = text;
    return static_cast<CThemeTextClass*>(Insert(index, geometryType, std::move(themeClass)));
}

CThemeTextRangeClass* CThemeClassList::InsertTextRangeClass(int index, int geometryType, std::string_view low,
                                                            std::string_view high)
{
    if (!CanInsert(index, kTextRanges))
        return nullptr;
    auto themeClass = std::make_unique<CThemeTextRangeClass>();
    themeClass->m_low = low;
    themeClass->m_high = high;
    return static_cast<CThemeTextRangeClass*>(Insert(index, geometryType, std::move(themeClass)));
}

bool CThemeClassList::RemoveClass(int index)
{
    if (index < 0 || index >= GetCount())
        return false;
    m_classes.erase(m_classes.begin() + index);
    return true;
}

CThemeClass* CThemeClassList::FindNumberClass(double value) const
{
    if (m_kind == kNumbers)
        return FirstHolding(m_classes, [value](const CThemeClass& themeClass) {
            return static_cast<const CThemeNumberClass&>(themeClass).m_value == value;
        });
    if (m_kind == kNumberRanges)
        return FirstHolding(m_classes, [value](const CThemeClass& themeClass) {
            auto& range = static_cast<const CThemeRangeClass&>(themeClass);
            return range.m_low <= value && value <= range.m_high;
        });
    return nullptr;
}

CThemeClass* CThemeClassList::FindClass(std::string_view fieldText) const
{
    if (IsNumeric())
        return FindNumberClass(AtofC(fieldText));
    if (m_kind == kTexts)
        return FirstHolding(m_classes, [fieldText](const CThemeClass& themeClass) {
            return static_cast<const CThemeTextClass&>(themeClass).m_value == fieldText;
        });
    return FirstHolding(m_classes, [fieldText](const CThemeClass& themeClass) {
        auto& range = static_cast<const CThemeTextRangeClass&>(themeClass);
        return range.m_low <= fieldText && fieldText <= range.m_high;
    });
}

std::string CThemeClassList::GetClassText(int index) const
{
    const CThemeClass* themeClass = GetClass(index);
    if (!themeClass)
        return std::string();
    if (index == GetCount() - 1)
        return LoadString(kOtherValuesText);
    switch (m_kind) {
    case kNumbers: {
        double value = static_cast<const CThemeNumberClass*>(themeClass)->m_value;
        return value == CThemeClass::kUnset ? std::string() : NumberText(value);
    }
    case kNumberRanges: {
        auto* range = static_cast<const CThemeRangeClass*>(themeClass);
        if (range->m_low == CThemeClass::kUnset || range->m_high == CThemeClass::kUnset)
            return std::string();
        return NumberText(range->m_low) + " - " + NumberText(range->m_high);
    }
    case kTexts:
        return static_cast<const CThemeTextClass*>(themeClass)->m_value;
    default: {
        auto* range = static_cast<const CThemeTextRangeClass*>(themeClass);
        return range->m_low + " - " + range->m_high;
    }
    }
}

bool CThemeClassList::SetClassValue(int index, std::string_view text)
{
    CThemeClass* themeClass = GetClass(index);
    if (!themeClass)
        return false;
    switch (m_kind) {
    case kNumbers:
        static_cast<CThemeNumberClass*>(themeClass)->m_value = AtofC(text);
        break;
    case kNumberRanges: {
        auto* range = static_cast<CThemeRangeClass*>(themeClass);
        range->m_low = range->m_high = 0;
        if (ScanNumber(text, range->m_low) && ScanDash(text))
            ScanNumber(text, range->m_high);
        break;
    }
    case kTexts:
        static_cast<CThemeTextClass*>(themeClass)->m_value = text;
        break;
    default: {
        auto* range = static_cast<CThemeTextRangeClass*>(themeClass);
        // Both sides whole, so names of several words keep them all.
        constexpr std::string_view kDash = " - ";
        const size_t dash = text.find(kDash);
        range->m_low.assign(text.substr(0, dash));
        range->m_high.assign(dash == std::string_view::npos ? std::string_view() : text.substr(dash + kDash.size()));
        break;
    }
    }
    return true;
}

CThemeClassList::StyleType CThemeClassList::StyleTypeOf(int geometryType)
{
    switch (geometryType) {
    case 0:
    case 10:
        return kPointStyle;
    case 1:
        return kLineStyle;
    case 2:
    case 4:
        return kAreaStyle;
    default:
        return kNoStyle;
    }
}

bool CThemeClassList::EditClassValue(int index)
{
    CThemeClass* themeClass = GetClass(index);
    if (!themeClass)
        return false;
    IClassEditDialogs& dialogs = ClassEditDialogs();
    if (m_kind == kNumberRanges) {
        auto* range = static_cast<CThemeRangeClass*>(themeClass);
        auto text = [](double value) { return value == CThemeClass::kUnset ? std::string() : NumberText(value); };
        std::string from = text(range->m_low), to = text(range->m_high);
        if (!dialogs.EditFieldRange(from, to))
            return false;
        range->m_low = AtofC(from);
        range->m_high = AtofC(to);
        return true;
    }
    if (m_kind == kTextRanges) {
        auto* range = static_cast<CThemeTextRangeClass*>(themeClass);
        std::string from = range->m_low, to = range->m_high;
        if (!dialogs.EditFieldRange(from, to))
            return false;
        range->m_low = std::move(from);
        range->m_high = std::move(to);
        return true;
    }
    std::string value = GetClassText(index);
    if (!dialogs.EditFieldValue(value))
        return false;
    return SetClassValue(index, value);
}

bool CThemeClassList::EditClassStyle(int geometryType, int index)
{
    CThemeClass* themeClass = GetClass(index);
    if (!themeClass)
        return false;
    IClassEditDialogs& dialogs = ClassEditDialogs();
    switch (StyleTypeOf(geometryType)) {
    case kPointStyle: {
        CPointStyle style = themeClass->m_style.Point();
        if (!dialogs.EditPointStyle(style))
            return false;
        themeClass->m_style = style;
        return true;
    }
    case kLineStyle: {
        CDrawStyle style = themeClass->m_style.Draw();
        CDrawStyle::Line first, second;
        bool doubleLine = style.SplitLines(first, second);
        if (!dialogs.EditLineStyle(first, second, doubleLine))
            return false;
        style.ComposeLines(first, second, doubleLine);
        themeClass->m_style = style;
        return true;
    }
    case kAreaStyle: {
        CDrawStyle style = themeClass->m_style.Draw();
        if (!dialogs.EditAreaStyle(style))
            return false;
        themeClass->m_style = style;
        return true;
    }
    default:
        return false;
    }
}

void CThemeClassList::SerializeValue(CArchive& archive, CThemeClass& themeClass) const
{
    auto exchange = [&archive](auto& value) {
        if (archive.IsStoring())
            archive << value;
        else
            archive >> value;
    };
    switch (m_kind) {
    case kNumbers:
        exchange(static_cast<CThemeNumberClass&>(themeClass).m_value);
        break;
    case kNumberRanges:
        exchange(static_cast<CThemeRangeClass&>(themeClass).m_low);
        exchange(static_cast<CThemeRangeClass&>(themeClass).m_high);
        break;
    case kTexts:
        exchange(static_cast<CThemeTextClass&>(themeClass).m_value);
        break;
    default:
        exchange(static_cast<CThemeTextRangeClass&>(themeClass).m_low);
        exchange(static_cast<CThemeTextRangeClass&>(themeClass).m_high);
        break;
    }
}

void CThemeClassList::Serialize(CArchive& archive)
{
    if (archive.IsStoring()) {
        archive.WriteCount(static_cast<uint32_t>(m_classes.size()));
        archive << m_kind;
        for (const auto& themeClass : m_classes) {
            themeClass->m_style.Write(archive);
            SerializeValue(archive, *themeClass);
        }
        return;
    }

    m_classes.clear();
    uint32_t count = archive.ReadCount(CStyleRecord::kSize);
    int16_t kind;
    archive >> kind;
    // Other kinds (labels stored instead of values) are never written.
    if (kind < kNumbers || kind > kTextRanges)
        throw CArchiveException(CArchiveException::generic, "unknown kind of a class list");
    m_kind = kind;
    m_classes.reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        std::unique_ptr<CThemeClass> themeClass = MakeClass();
        themeClass->m_style.Read(archive);
        SerializeValue(archive, *themeClass);
        m_classes.push_back(std::move(themeClass));
    }
}
