#pragma once

#include <QComboBox>

#include <cstdint>

// Adds an entry with its item data: a sorted combo keeps its entries in
// Lithuanian order (a new one goes after its equals), any other appends.
// The selection and an edit field's text stay. The index of the new entry.
int AddComboItem(QComboBox* combo, const QString& text, intptr_t data, bool sorted);
intptr_t GetComboItemData(const QComboBox* combo, int index);

// A combo of a toolbar: its drop-down list is at most the given height,
// however many entries it holds (it scrolls), and an editable one leaves
// completing to whoever owns it.
class CToolbarCombo : public QComboBox {
public:
    CToolbarCombo(bool editable, bool sorted, QWidget* parent = nullptr);

    bool IsSorted() const { return m_sorted; }
    int AddString(const QString& text, intptr_t data = 0) { return AddComboItem(this, text, data, m_sorted); }
    void SetDropDownHeight(int height) { m_dropDownHeight = height; }
    int GetDropDownHeight() const { return m_dropDownHeight; }

    void showPopup() override;

private:
    bool m_sorted;
    int m_dropDownHeight = 0;
};
