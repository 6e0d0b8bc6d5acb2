#pragma once

#include <cstdint>
#include <string>

class CDrelDoc;

// One box of a main-window toolbar as the searches that fill it see it:
// the street and address lookup (city, street and house-number boxes, with
// the map document that filled them as their owner), the administrative
// search (its five combos and house-number box) and the places. Texts are
// code page 1257; list operations of an edit do nothing (-1, 0, empty).
class IToolbarBox {
public:
    virtual ~IToolbarBox() = default;
    virtual int GetId() const = 0;
    // Empties the list and the edit text.
    virtual void ResetContent() = 0;
    // Adds an entry (a sorted box puts it in Lithuanian order); its index.
    virtual int AddString(const std::string& text, intptr_t data = 0) = 0;
    virtual int GetCount() const = 0;
    virtual std::string GetItemText(int index) const = 0;
    virtual intptr_t GetItemData(int index) const = 0;
    // -1 when nothing is selected.
    virtual int GetCurSel() const = 0;
    virtual void SetCurSel(int index) = 0;
    // An edit's or an editable combo's text, else the selected entry's.
    virtual std::string GetText() const = 0;
    virtual void SetText(const std::string& text) = 0;
    virtual void Enable(bool on) = 0;
    virtual bool IsEnabled() const = 0;
    // The map document whose data the box lists; null for the boxes that
    // belong to no document (the administrative search's).
    virtual CDrelDoc* GetOwnerDocument() const = 0;
    virtual void SetOwnerDocument(CDrelDoc* document) = 0;
};
