#pragma once

#include "core/DbfFieldInfo.h"

#include <string>
#include <vector>

class CDrelDoc;
class CLayer;
struct CDocCommandDialogs;

// The key values of one field of a table, sorted, each with its record,
// for lookups by halving: numbers by value (7 and 7.0 are one key), texts
// by their bytes, the one order their sorting and their search share.
// Empty values are left out; of equal keys any one record is found.
class CImportKeyIndex {
public:
    // Over the field of the table of the layer (a layer of a ".dbf" file
    // stands for a plain table), as numbers or texts; texts converted from
    // the DOS code page when asked, as the values they are compared with.
    // False when the table or the field cannot be read.
    bool Build(const CLayer& table, const std::string& field, bool numbers, bool fromOem);
    bool IsNumeric() const { return m_numeric; }
    // The record of the key; -1 when none has it.
    int Find(double key) const;
    int Find(const std::string& key) const;
    // The key given as its field text: read as a number by a numeric index.
    int FindText(const std::string& text) const;

private:
    bool m_numeric = false;
    std::vector<double> m_numbers;
    std::vector<std::string> m_texts;
    std::vector<int> m_records;
    std::vector<int> m_order;
};

// The fields of a join: the layer's, then the imported ones, each of these
// whose name stands in the layer's table renamed until it stands in
// neither table (at most 10 times): "_" appended to a name shorter than
// 10 characters, else its characters replaced by "_" from the tenth
// backwards. Ended by a length-0 entry.
std::vector<CDbfFieldInfo> JoinFieldList(const std::vector<CDbfFieldInfo>& layerFields,
                                         const std::vector<CDbfFieldInfo>& importFields);

// The attribute import of the ".dbf" file onto the point, line or area
// layer (others give 0). The file is refused with the table engine's
// message when it cannot be read whole. Both ask the key fields (30784).
//
// AttachDbfData: a new layer (names in 30772) of every object of the
// layer, with the layer's fields and the imported ones (JoinFieldList);
// an object whose key matches a record gets that record's values, the
// others blank ones.
//
// CreateObjectsFromDbf: a new layer (names in 102, GDB or Shapefile; a
// dBASE table too for points, with "LON" and "LAT" added when missing)
// of exactly the imported fields, one object for each record whose key
// matches an object of the layer, with that object's geometry; the
// records skipped are reported (315) with their keys.
//
// The new layer's files are written whole before it is added; a failure
// adds nothing. 1 when the layer was added.
int AttachDbfData(CLayer& layer, CDrelDoc& document, const std::string& dbfPath, const CDocCommandDialogs& dialogs);
int CreateObjectsFromDbf(CLayer& layer, CDrelDoc& document, const std::string& dbfPath,
                         const CDocCommandDialogs& dialogs);

// The import report's texts: the count ("%d") and each key ("%g" for
// numbers) followed by "\r\n".
std::string ImportSkippedText(int count);
