#pragma once

#include <span>

class CCommandTable;
class CDrelDoc;
class CDrelView;
class CLayer;
class IMapFrameContext;
struct CMapFrameDialogs;

// What a layer operation of the map window works on.
struct CGeoprocCall {
    CDrelDoc& document;
    // The legend's selected entry (never a group); null for a command that
    // needs none when nothing is selected.
    CLayer* layer;
    // Null while the window has no map view.
    CDrelView* view;
    const CMapFrameDialogs& dialogs;
};

// One layer operation of the map window's command table: its command, the
// layer types that enable it, the dialogs of other folders it cannot do
// without, and the operation, whose result (1 done) the command drops.
//
// A new operation is a row of the table in GeoprocCommands.cpp: with
// layerTypes set the command needs a selected layer (message 1022 without
// one) of one of those types and is disabled for others and for groups;
// with 0 it runs whatever is selected, or, needing kSelectedLayer, any
// selected layer (1022 without one) while always enabled. A row needing
// dialog 102 or 30772, or the open dialog, is disabled while the map
// window has none; one needing a single-file or a non-table layer is
// disabled for others. The shell disables these ids until the table is
// installed over its own rules.
struct CGeoprocCommand {
    enum Needs : unsigned {
        kNewLayerDialog = 0x01,
        kLayerFileDialog = 0x02,
        kOpenFilesDialog = 0x04,
        kSelectedLayer = 0x08,
        kSingleFileLayer = 0x10, // a layer made of several files (0x100) disables it
        kNoTableLayer = 0x20,    // so does a layer of a dBASE table
    };

    int id;
    unsigned layerTypes; // 1 << type for each type that enables it
    unsigned needs;
    int (*operation)(const CGeoprocCall& call);
};

constexpr unsigned LayerTypeBit(int type)
{
    return 1u << type;
}

std::span<const CGeoprocCommand> GeoprocCommands();

// Whether the row's command may run for the selected entry (null: none)
// with the window's dialogs.
bool IsGeoprocCommandEnabled(const CGeoprocCommand& command, const CLayer* layer, const CMapFrameDialogs& dialogs);

// Runs an operation so that no exception leaves it: one that ends it is
// told (1005 when memory ran out, else a message of our own), whatever it
// was writing is gone with it, and 0 is returned.
int RunGeoprocOperation(int (*operation)(const CGeoprocCall& call), const CGeoprocCall& call);

// The rows' handlers and update rules for a map window.
void InstallGeoprocCommands(CCommandTable& table, IMapFrameContext& frame, const CMapFrameDialogs& dialogs);
