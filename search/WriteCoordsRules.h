#pragma once

#include <string>
#include <vector>

class CDbfTable;

// The rules of the dialogs that choose the fields receiving coordinates:
// 30777 for point layers (two fields), 30778 for line layers (the first
// and the last point's two fields each), both optionally with a
// transformation from one coordinate system to another.
class CWriteCoordsRules {
public:
    // What a dialog remembers of its last OK for the run of the program.
    struct Memory {
        int transform = 0;
        int fromEntry = -1; // none chosen
        int toEntry = -1;
    };
    // The choice OK gives: real field names (empty where none was chosen),
    // and the systems as coordinate-system codes (-1 for none).
    struct Choice {
        std::string xField, yField;
        std::string lastXField, lastYField;
        int transform = 0;
        int fromSystem = -1;
        int toSystem = -1;
    };
    // One field a list offers: its caption and its name.
    struct Field {
        std::string caption;
        std::string name;
    };

    explicit CWriteCoordsRules(bool lines) : m_lines(lines) {}

    bool ForLines() const { return m_lines; }
    // The system lists' entries (UTF-8) and the codes they stand for:
    // without "LKS-92 (Latvijos)" for lines.
    std::vector<const char*> SystemEntries() const;
    int SystemCode(int entry) const;
    // The fields the lists offer: numeric ("F", "N") ones for points, every
    // field for lines.
    std::vector<Field> ListedFields(const CDbfTable& table) const;
    // OK closes the dialog with both fields of a point, with any one of
    // the four of a line; empty texts are unchosen fields.
    bool Accepts(const Choice& choice) const;
    // OK: the dialog's values are kept; the entries become codes.
    Choice Finish(Choice choice, int fromEntry, int toEntry) const;

    Memory& Remembered() const;

private:
    bool m_lines;
};
