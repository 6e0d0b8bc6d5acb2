#pragma once

#include "core/MapRect.h"

#include <functional>
#include <memory>
#include <string>

class CDrelDoc;
class CDrelView;

// A map file opened with a view of a picture's size, as drel-render, the
// tests and the benchmarks draw it. Messages the map shows while it opens
// are held and become the reason of a failure.
class CMapRenderer {
public:
    CMapRenderer();
    ~CMapRenderer();
    CMapRenderer(const CMapRenderer&) = delete;
    CMapRenderer& operator=(const CMapRenderer&) = delete;

    // A view of the document in place of the plain map view (tests).
    using ViewMaker = std::function<std::unique_ptr<CDrelView>(CDrelDoc&)>;

    // Opens the map file (stored path) into a view of the size showing the
    // full extent, as the map window first shows it; false with the reason.
    bool Open(const std::string& mapPath, int width, int height, std::string& error,
              const ViewMaker& makeView = nullptr);
    // The extent (map units) fitted into the picture, centred.
    bool ShowExtent(const CMapRect& extent, std::string& error);
    // The extent of the saved place of exactly that name (code page 1257).
    bool ShowBookmark(const std::string& name, std::string& error);

    CDrelDoc& Document() const { return *m_document; }
    CDrelView& View() const { return *m_view; }

private:
    std::unique_ptr<CDrelDoc> m_document;
    std::unique_ptr<CDrelView> m_view;
};
