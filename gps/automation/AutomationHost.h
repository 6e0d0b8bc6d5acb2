#pragma once

#include <string>
#include <vector>

class CDrelDoc;
class CDrelView;

// What the automation objects ask of the running program: the active
// map view, the open maps, the linked maps and a repaint of every map
// view. The best-map choice is BestMapService().
class IAutomationHost {
public:
    virtual ~IAutomationHost() = default;
    // Null when no map window is active.
    virtual CDrelView* GetActiveMapView() = 0;
    virtual std::vector<CDrelDoc*> GetOpenMaps() = 0;
    // The map paths of the map list, in link order.
    virtual std::vector<std::string> GetLinkedMapPaths() = 0;
    virtual void RepaintMapViews() = 0;
};
