#pragma once

#include <string>
#include <vector>

// What an update rule says of one command id in an update pass: enabled,
// check mark (0 off, 1 on, 2 indeterminate, shown as a radio mark when set
// with SetRadio), the item's text, and for a list item of a menu (the
// recent files, the places) the entries that stand in its place. The pass
// starts with every value unset; Enable and the others record that the
// rule spoke, so the shell can tell "left alone" from "enabled".
class CCommandState {
public:
    // One entry of a menu list: its command id and its menu text (code page 1257).
    struct MenuEntry {
        int id;
        std::string text;
    };

    explicit CCommandState(int id) : m_id(id) {}

    int GetId() const { return m_id; }

    void Enable(bool on = true)
    {
        m_enabled = on;
        m_enableSet = true;
    }
    void SetCheck(int check = 1)
    {
        m_check = check;
        m_checkSet = true;
        m_radio = false;
    }
    void SetRadio(bool on = true)
    {
        m_check = on ? 1 : 0;
        m_checkSet = true;
        m_radio = true;
    }
    // Code page 1257.
    void SetText(std::string text)
    {
        m_text = std::move(text);
        m_textSet = true;
    }
    // Replaces a menu's list item by these entries; an empty list leaves
    // the item itself in the menu.
    void SetMenuEntries(std::vector<MenuEntry> entries)
    {
        m_entries = std::move(entries);
        m_entriesSet = true;
    }

    bool IsEnabled() const { return m_enabled; }
    bool IsEnableSet() const { return m_enableSet; }
    int GetCheck() const { return m_check; }
    bool IsCheckSet() const { return m_checkSet; }
    bool IsRadio() const { return m_radio; }
    const std::string& GetText() const { return m_text; }
    bool IsTextSet() const { return m_textSet; }
    const std::vector<MenuEntry>& GetMenuEntries() const { return m_entries; }
    bool AreMenuEntriesSet() const { return m_entriesSet; }

private:
    int m_id;
    bool m_enabled = true;
    bool m_enableSet = false;
    int m_check = 0;
    bool m_checkSet = false;
    bool m_radio = false;
    std::string m_text;
    bool m_textSet = false;
    std::vector<MenuEntry> m_entries;
    bool m_entriesSet = false;
};
