#pragma once

// Puts routing into the program, at start-up after the main frame's bars
// and before the first window: the road distance of the map views
// (InstallRoadRouting), the route points the views make on the first
// route tool click, and the map window's route commands: 30035 computes
// the route and 30036 clears it (with a map view), 30620 saves its legs
// into a layer chosen in dialog 30817 (while there are legs), 30279 plans
// the client visits of the legend's point layer after dialog 310, and the
// network's batch commands (routing/widgets/NetworkCommands.h). Calling it
// again changes nothing more.
void InstallRouting();
