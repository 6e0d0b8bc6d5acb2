#pragma once

#include <string>

class CAutomationServer;
class CGpsReceiverPort;

// Plugs the GPS part into the program before the main window is made: one
// process-wide CGpsContext (GetGpsContext()) becomes the main window's GPS
// hooks and the map views' GPS painter, the track file services of the
// map windows, and the commands of the track parameters (30416), the
// replay's playback (30424 to 30426, 30428, 30429, 30615 to 30617), the
// track statistics (30417) and the replay speeds (30419 to 30423). The GPS
// windows join it: the status window (30306) and the terminal (30636),
// made on first use and owned by the main window, the port parameters
// (30307), the UTC correction (30208), the replay source (30418), the
// map's GPS saving target (dialog 354 of 30341) and the filter page of
// track layers in the layer sheet. Calling it again starts a fresh context
// over the receiver.
//
// Later GPS work extends this by adding code: a hook of IGpsHooks or
// IMapGpsPainter gets its override in CGpsContext; a window becomes a
// member of the context (the status window through SetStatusWindow); its
// commands join the registrations in GpsInstall.cpp.
void InstallGps(CGpsReceiverPort& receiver);

// Offers the running program to other programs on the D-Bus session bus
// (the bus at the address when one is given): "Drel.Application" and
// "DrelR.Application" over the main window's maps and views. The program
// calls it last, after InstallGps; false, with nothing offered, when there
// is no bus or another instance holds the names.
bool InstallAutomation(const std::string& busAddress = {});
// Takes the names off the bus; before the application object goes.
void UninstallAutomation();
// Null while nothing is offered.
CAutomationServer* GetAutomationServer();
