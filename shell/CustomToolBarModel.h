#pragma once

#include <set>
#include <string>
#include <vector>

// The buttons of a toolbar the user may rearrange: the buttons it was
// loaded with (at most 40, each with a flag whether Reset brings it back),
// the buttons it shows now (command ids, 0 a separator) and whether the
// user changed them. The arrangement is kept in the profile, section
// "Toolbars", value "TB%d" of the bar's control id, as the ids joined by
// commas; the value is written when the bar goes after a change.
class CCustomToolBarModel {
public:
    static constexpr int kMaxInitialButtons = 40;

    // Records the loaded buttons (all available) and shows them.
    void Init(int controlId, const std::vector<int>& buttons);
    // Takes the hidden buttons off the bar and out of Reset; separators stay.
    void RemoveHiddenButtons(const std::set<int>& hidden);
    // The saved arrangement, when there is one: ids the bar was not loaded
    // with are skipped. False when the profile holds none (the loaded
    // arrangement stays).
    bool RestoreSavedState();
    // Writes the arrangement when it was changed.
    void SaveIfChanged() const;

    const std::string& GetValueName() const { return m_valueName; }
    // Whether the bar was loaded with any button (its buttons may all be
    // gone since).
    bool HasButtons() const { return !m_initial.empty(); }
    const std::vector<int>& GetButtons() const { return m_buttons; }
    bool IsChanged() const { return m_changed; }

    // The buttons the customise dialog offers: every loaded button that is
    // not on the bar, in the loaded order.
    std::vector<int> GetOfferedButtons() const;
    bool IsKnownButton(int id) const;

    // Editing in the customise dialog; each marks the bar changed. Positions
    // outside the bar are refused (false).
    bool Insert(int position, int id);
    bool Remove(int position);
    bool Move(int position, int delta);
    // Every loaded button still available, in the loaded order.
    void Reset();

    static std::string FormatButtons(const std::vector<int>& buttons);

private:
    struct InitialButton {
        int id;
        bool available;
    };

    std::vector<InitialButton> m_initial;
    std::vector<int> m_buttons;
    std::string m_valueName;
    bool m_changed = false;
};
