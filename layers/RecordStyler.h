#pragma once

#include <string>

class CDbfTable;
class CStyleRecord;
class CSublayer;

// The style of each record of a table under one sublayer: with kind 2,
// classes and a classification field that the table has, the class that
// holds the record's value of that field; otherwise the sublayer's own
// style, whatever the record. Set up once for a pass over the records.
class CRecordStyler {
public:
    // The sublayer and the table must outlive the styler.
    CRecordStyler(const CSublayer& sublayer, const CDbfTable& table);

    // Whether the style depends on the record.
    bool IsClassified() const { return m_field >= 0; }
    // The style of the record the table stands on; null when no class holds its value.
    const CStyleRecord* StyleOfCurrent() const;

private:
    const CSublayer& m_sublayer;
    const CDbfTable& m_table;
    int m_field = -1;
    mutable std::string m_text;
};
