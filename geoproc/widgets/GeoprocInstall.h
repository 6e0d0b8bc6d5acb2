#pragma once

// Puts geoprocessing into the program, at start-up after the main frame's
// bars and before the first window: the layer operations of the map
// window (geoproc/GeoprocCommands.h) registered for every map window, and
// the dialogs that the operations (IGeoprocDialogs) and the buffer-zone
// tool (IBufferZoneDialogs) ask through, the coordinate grid (358) of the
// document commands and the archiving of track layers. Calling it again
// changes nothing.
//
// A new operation adds its row to the table in geoproc/GeoprocCommands.cpp
// and its dialogs to CGeoprocDialogService (a question of IGeoprocDialogs
// with its default answer "cancelled", the dialog class in this folder,
// its rules in geoproc/). A dialog of the map window that another folder
// would open (a hook of CMapFrame::Hooks()) and that geoprocessing answers
// is set here, only where it is empty, so what an earlier folder put
// there stays.
void InstallGeoprocessing();
