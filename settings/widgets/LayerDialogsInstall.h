#pragma once

// Plugs the layer management and import dialogs in (called by
// InstallSettingsDialogs): the map window's new layer (102), layer file
// (30772), import (194) and group name (30788) dialogs; the legend's
// group properties (30787), removal (242, 328) and file choice (30765);
// the overview's layers (132); the layer list (385, command 30483); the
// layer sheet's file list (261); and the questions of the layer queries
// (30765), of coordinate tables (178) and of older DOS tables (177).
void InstallLayerDialogs();
