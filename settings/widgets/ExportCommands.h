#pragma once

#include <functional>
#include <string>

// The map window's export commands: 30024 the map as a picture or a
// metafile, 30359 as a web page; enabled with a map view.
void RegisterExportCommands();

// Shows a written web page; the installer sets the default program.
std::function<void(const std::string& path)>& HtmlPageOpener();
