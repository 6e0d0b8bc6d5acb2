#pragma once

#include <string>

class CDbfTable;

// The questions a coordinate table asks the user: which fields of a table
// hold the coordinates (the table-import dialog, its boxes preset to "lon"
// and "lat"), and how a new table stores them (the coordinate-format
// dialog). The dialogs of the settings and table windows answer in the
// program; without them both questions count as cancelled. Tests install
// their own answers.
class ICoordTableDialogs {
public:
    // What the table-import dialog answers.
    struct CFieldChoice {
        std::string xField; // longitude or X
        std::string yField; // latitude or Y
        bool dosText = false; // the table's text is in the DOS code page
    };
    // How a new table stores its coordinates.
    enum CoordFormat : int {
        kCancelled = 0,
        kDecimalDegrees = 1, // numeric fields N(13, 8)
        kDegreeText = 2,     // character fields C(11)
    };

    virtual ~ICoordTableDialogs() = default;
    // The table is open (its field names fill the choices); the path is
    // shown. False when the user cancels.
    virtual bool AskCoordinateFields(const CDbfTable& table, const std::string& path, CFieldChoice& choice)
    {
        return false;
    }
    virtual int AskCoordinateFormat() { return kCancelled; }
};

ICoordTableDialogs& CoordTableDialogs();
// Installs the dialogs; null restores the default. The caller keeps ownership.
void SetCoordTableDialogs(ICoordTableDialogs* dialogs);
