#include "search/AddressRecord.h"

#include "core/DbfTable.h"
#include "layers/Layer.h"
#include "mapdoc/AddressTable.h"
#include "mapdoc/DocumentObserver.h"
#include "mapdoc/DrelDoc.h"
#include "mapdoc/SearchDialogs.h"
#include "platform/Codepage.h"
#include "platform/NumberText.h"
#include "platform/Strings.h"
#include "platform/UserServices.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kNoNameField = 1004;
constexpr int kNumberOutOfRange = 61911;

int FindNamedField(const CDbfTable& table, const std::string& name)
{
    return name.empty() ? -1 : table.FindField(name);
}

long FieldLong(const CDbfTable& table, int index)
{
    std::string text;
    table.GetFieldString(index, text);
    return std::strtol(text.c_str(), nullptr, 10);
}

std::string FieldString(const CDbfTable& table, int index)
{
    std::string text;
    table.GetFieldString(index, text);
    return text;
}

// The largest number as many digits as the field is wide make.
long LargestNumber(const CDbfTable& table, int index)
{
    long largest = 0;
    for (int digit = 0, width = std::min(table.GetFieldLength(index), 18); digit < width; ++digit)
        largest = largest * 10 + 9;
    return largest;
}

// "%d%s" of the number and the letter; empty for a number of 0 or less.
std::string NumberText(const CDbfTable& table, int number, int letter)
{
    const long value = FieldLong(table, number);
    if (value <= 0)
        return {};
    return FormatC("%ld", value) + (letter >= 0 ? FieldString(table, letter) : std::string());
}

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool IsPlacemarkLayer(const CLayer& layer, const CMapSettings& settings)
{
    return layer.GetType() == CLayer::kPoint && !settings.placemarksLayer.empty() &&
           layer.GetName() == settings.placemarksLayer && EndsWithNoCase1257(layer.GetPath(), "dbf");
}

struct CAddressFields {
    int code = -1, number = -1, letter = -1;
    int code2 = -1, number2 = -1, letter2 = -1;
    int name = -1;

    int Handled() const
    {
        int handled = 2;
        for (int index : {letter, code2, number2, letter2, name})
            handled += index >= 0 ? 1 : 0;
        return handled;
    }
};

// The number text split for its fields; false after the message when the
// number does not fit its field.
bool SplitNumber(const std::string& text, const CDbfTable& table, int letter, long largest, CHouseNumberParts& parts)
{
    const size_t letterLength = letter >= 0 ? static_cast<size_t>(std::max(table.GetFieldLength(letter), 0)) : 0;
    if (SplitHouseNumber(text, letterLength, largest, parts))
        return true;
    AppMessageBox(LoadStringArgs(kNumberOutOfRange, "0", FormatC("%ld", largest)), MB_OK | MB_ICONWARNING,
                  kNumberOutOfRange);
    return false;
}

void StoreAddress(CDbfTable& table, int code, int number, int letter, int32_t newCode,
                  const CHouseNumberParts& parts)
{
    if (code >= 0 && FieldLong(table, code) != newCode)
        table.SetFieldLong(code, newCode);
    if (number >= 0 && FieldLong(table, number) != parts.number)
        table.SetFieldLong(number, parts.number);
    if (letter >= 0)
        table.SetField(letter, parts.letter);
}

} // namespace

int EditAddressRecord(CDbfTable& table, CDrelDoc& document, CLayer& layer, const CAddressEntryPrompt& prompt)
{
    const CMapSettings& settings = document.Settings();
    if (IsPlacemarkLayer(layer, settings)) {
        if (!SearchDialogs().EditPlacemark(table, layer))
            return kRecordNotHandled;
        document.UpdateAllViews(kHintRedraw);
        return table.GetFieldCount() == 5 ? kRecordHandled : kRecordPartlyHandled;
    }
    if (layer.GetType() != CLayer::kPoint || settings.addressesLayer.empty() ||
        layer.GetName() != settings.addressesLayer)
        return kRecordNotHandled;
    CLayer* streets = settings.streetsLayer.empty() ? nullptr : document.Layers().FindByName(settings.streetsLayer);
    if (!streets || settings.codeField.empty() || streets->GetIdField().empty())
        return kRecordNotHandled;

    CAddressFields f;
    f.code = FindNamedField(table, settings.streetCodeField);
    f.number = FindNamedField(table, settings.numField);
    if (f.code < 0 || f.number < 0)
        return kRecordNotHandled;
    f.letter = FindNamedField(table, settings.letterField);
    f.code2 = FindNamedField(table, settings.streetCodeField2);
    f.number2 = FindNamedField(table, settings.numField2);
    f.letter2 = FindNamedField(table, settings.letterField2);
    f.name = FindNamedField(table, layer.GetIdField());
    for (int index : {f.code, f.number, f.letter, f.code2, f.number2, f.letter2})
        if (f.name == index)
            f.name = -1;

    CAddressEntryValues values;
    values.secondAddress = f.code2 >= 0 && f.number2 >= 0;
    values.streetCode = static_cast<int32_t>(FieldLong(table, f.code));
    values.number = NumberText(table, f.number, f.letter);
    values.maxNumber = LargestNumber(table, f.number);
    if (values.secondAddress) {
        values.streetCode2 = static_cast<int32_t>(FieldLong(table, f.code2));
        values.number2 = NumberText(table, f.number2, f.letter2);
        values.maxNumber2 = LargestNumber(table, f.number2);
    }
    if (!prompt || !prompt(values, *streets, document))
        return kRecordNotHandled;

    // Checked whole before anything is stored: a refused number leaves the record as it was.
    CHouseNumberParts first, second;
    if (!SplitNumber(values.number, table, f.letter, values.maxNumber, first))
        return kRecordNotHandled;
    if (values.secondAddress && !SplitNumber(values.number2, table, f.letter2, values.maxNumber2, second))
        return kRecordNotHandled;
    StoreAddress(table, f.code, f.number, f.letter, values.streetCode, first);
    if (values.secondAddress)
        StoreAddress(table, f.code2, f.number2, f.letter2, values.streetCode2, second);
    if (f.name >= 0) {
        std::string name = Trimmed(values.number);
        if (values.secondAddress && second.number > 0)
            name += "/" + Trimmed(values.number2);
        table.SetField(f.name, name);
    }
    return f.Handled() == table.GetFieldCount() ? kRecordHandled : kRecordPartlyHandled;
}

bool ReadStreetEntries(const CLayer& streets, const std::string& codeField, std::vector<CNameEntry>& entries)
{
    entries.clear();
    CWaitCursor wait;
    CDbfTable table;
    if (!streets.OpenTable(table))
        return false;
    const int name = FindNamedField(table, streets.GetIdField());
    const int code = FindNamedField(table, codeField);
    if (name < 0 || code < 0) {
        AppMessageBox(kNoNameField);
        return false;
    }
    table.SetPosition(0);
    std::string text;
    while (table.NextRecord()) {
        const long value = FieldLong(table, code);
        table.GetFieldString(name, text);
        if (!text.empty() && value > 0 && value <= INT32_MAX)
            entries.push_back({text, static_cast<int32_t>(value)});
    }
    return true;
}

CStreetChoice MakeStreetChoice(std::vector<CNameEntry> entries, int32_t code, int32_t code2)
{
    SortNameEntries(entries);
    CStreetChoice choice;
    const auto firstOf = [&](int32_t wanted) {
        const auto it = std::find_if(entries.begin(), entries.end(),
                                     [&](const CNameEntry& e) { return e.record == wanted; });
        return it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
    };
    choice.selected = firstOf(code);
    choice.selected2 = firstOf(code2);
    // From the end: of each equal pair the later goes unless it is the
    // selected one, then the earlier; the selections follow their entries.
    for (int later = static_cast<int>(entries.size()) - 1; later > 0; --later) {
        if (entries[later] != entries[later - 1])
            continue;
        const int gone = later == choice.selected ? later - 1 : later;
        entries.erase(entries.begin() + gone);
        for (int* selected : {&choice.selected, &choice.selected2})
            if (*selected >= gone && *selected > 0 && (*selected > gone || gone == later))
                --*selected;
    }
    choice.entries = std::move(entries);
    return choice;
}

int32_t ResolveStreetCode(const std::vector<CNameEntry>& entries, int selection, const std::string& typed)
{
    if (selection >= 0 && selection < static_cast<int>(entries.size()))
        return entries[static_cast<size_t>(selection)].record;
    const auto it =
        std::find_if(entries.begin(), entries.end(), [&](const CNameEntry& e) { return e.text == typed; });
    return it == entries.end() ? 0 : it->record;
}
