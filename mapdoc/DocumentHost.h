#pragma once

#include "mapdoc/AdminSearchSettings.h"
#include "mapdoc/ToolbarBox.h"

#include <memory>
#include <string>
#include <vector>

class CDrelDoc;
class CLayer;

// The boxes of the main window's address toolbar.
enum class AddressBox { kCity, kStreet, kHouseNumber };

// What a map document asks of the application around it: the main
// frame's boxes and status bar, the legend's open group, the table
// windows and the views' mouse tools. The shell installs its
// implementation; without one these answers hold (nothing open, nothing
// refused, nothing shown).
class IDocumentHost {
public:
    virtual ~IDocumentHost() = default;

    // The administrative-search settings of a new document; null when
    // the program has no administrative search.
    virtual std::unique_ptr<IAdminSearchSettings> CreateAdminSearchSettings(CDrelDoc& document) { return nullptr; }
    virtual bool HasAdminSearchBar() const { return false; }
    // The settings whose boxes the administrative-search bar shows; null
    // when it shows none. The settings that fill the bar record themselves.
    virtual const IAdminSearchSettings* GetAdminSearchBarSettings() const { return nullptr; }
    virtual void SetAdminSearchBarSettings(const IAdminSearchSettings* settings) {}

    // A box of the address toolbar; null when there is none.
    virtual IToolbarBox* GetAddressBox(AddressBox which) { return nullptr; }
    // Enables or disables the box (the house-number box is emptied too).
    virtual void EnableAddressBox(AddressBox which, bool on) {}

    // The current group of the legend when the active window is a map
    // window of this document; null when there is none.
    virtual CLayer* GetOpenLegendGroup(const CDrelDoc& document) { return nullptr; }

    // Refills the places box with the names, enables it only when there is
    // one, and makes the document the box's owner.
    virtual void FillPlacesBox(CDrelDoc& document, const std::vector<std::string>& names) {}
    // The document goes: the boxes it owns are emptied and disabled.
    virtual void OnDocumentDestroyed(CDrelDoc& document) {}
    // Status-bar pane 2.
    virtual void SetCoordinateText(const std::string& text) {}

    // Every open map document; without a host only the asking one counts.
    virtual std::vector<CDrelDoc*> GetOpenMaps() { return {}; }

    // A tool of a map view is editing the layer's objects.
    virtual bool IsLayerBeingEdited(const CLayer& layer) { return false; }
    // An attribute-table window is bound to the layer or shows its file.
    virtual bool IsAttributeTableOpen(const CLayer& layer) { return false; }
    // Opens the layer's attribute-table window, or brings it to the front.
    virtual void OpenAttributeTable(CLayer& layer, CDrelDoc& document) {}
    virtual void CloseTableDocuments(CDrelDoc& document) {}

    // Asks the current tool of every map view of the document whether it
    // may be left (an editing tool offers to save its changes).
    virtual bool CanLeaveTools(CDrelDoc& document) { return true; }
    // The framework's question whether to save a modified document, and
    // the save; false cancels the close.
    virtual bool SaveModifiedDocument(CDrelDoc& document) { return true; }
};

IDocumentHost& DocumentHost();
// Installs a host; null restores the default. The caller keeps ownership.
void SetDocumentHost(IDocumentHost* host);
