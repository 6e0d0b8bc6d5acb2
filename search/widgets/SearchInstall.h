#pragma once

class CDrelApp;

// Plugs the search part into the program; the program calls it at
// start-up after the settings part's installer and before InitInstance.
// It sets only the search part's hooks: one CSearchDialogs for the map's
// lookups and queries (ISearchDialogs, IQueryDialogs), handing what it
// does not open to the objects installed before it, the object
// information window (MainFrameHooks().makeObjectInfo) with its picture
// links opening the shell's picture windows (PictureWindowHooks()), the
// legend's object list (134) and street search (30724), the places
// manager (389), the prompts for a place's name (30812) and the archive
// date (308), the coordinate format of new tables (30800,
// ICoordTableDialogs), the measuring
// tools' result boxes (CMapFrame::Hooks().boxes), the layer sheet's
// filter condition (319) and table structure (160) dialogs
// (LayerSheetHooks()), the main window's coordinate transformation
// (30611), and the administrative search: the maps' settings
// (MainFrameHooks().makeAdminSearch), its parameters (30453) and the map
// window's show commands of its bar.
//
// A later dialog of this part joins in one place: a dialog the map's code
// opens overrides its method in CSearchDialogs; a window or command the
// shell reaches gets one Install... function in SearchInstall.cpp, called
// from here, that sets its hook (MainFrameHooks(), CMapFrame::Hooks(),
// CCommandRegistry, CDrelApp::SetTableFactories).
void InstallSearchDialogs(CDrelApp& app);
