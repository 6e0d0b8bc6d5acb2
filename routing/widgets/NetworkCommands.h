#pragma once

class CCommandTable;
class CMapFrame;

// The map window's batch uses of the network: 30196 asks for a point file
// in dialog 250 and writes its distance matrix (with a map view), 30354
// marks the network's unreachable dead ends (while the map names a routing
// layer). Also makes the document's delivery-distance calculator, 30635,
// open dialog 30820.
void AddNetworkCommands(CMapFrame& frame, CCommandTable& c);
void InstallDistanceCalculator();
