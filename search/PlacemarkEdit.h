#pragma once

#include <functional>
#include <string>

class CDbfTable;
class CLayer;

// What the point information dialog (402) edits of a placemark.
struct CPointInfo {
    std::string name;
    std::string description;
    double longitude = 0;
    double latitude = 0;
    // A symbol library number; -1 none.
    int symbol = -1;
    // Only a layer styled per object (its first band classified) keeps
    // a symbol per placemark.
    bool symbolEditable = false;
};

// One placemark record of a table: the fields "NAME", "DESCR", "LON",
// "LAT" and "SYMBOL" found by name (a missing one reads empty and is
// never written). On a layer whose first band is classified the symbol
// comes from "SYMBOL", a negative one meaning the default symbol: that of
// the band's last class when it is a library symbol, else -1. On others
// the symbol shows the band's own library symbol (-1 for other kinds)
// and "SYMBOL" is neither read nor written.
class CPlacemarkEdit {
public:
    // Reads the record the table stands on.
    CPlacemarkEdit(CDbfTable& table, const CLayer& layer);

    CPointInfo& Info() { return m_info; }
    const CPointInfo& Info() const { return m_info; }
    int DefaultSymbol() const { return m_defaultSymbol; }
    // The values into the record, the symbol stored as -1 when it is the
    // default, and the record into the table; false when the table
    // refused the write (its message shown).
    bool Write();

private:
    CDbfTable& m_table;
    CPointInfo m_info;
    int m_defaultSymbol = -1;
    int m_lon, m_lat, m_name, m_description, m_symbol;
};

// The dialog over the placemark; true after its OK wrote the record.
using CPointInfoPrompt = std::function<bool(CPlacemarkEdit& placemark)>;

// The placemark the table stands on, edited through the dialog; false,
// nothing written, when it was cancelled.
bool EditPlacemark(CDbfTable& table, const CLayer& layer, const CPointInfoPrompt& prompt);
