#pragma once

#include "shell/MainToolbars.h"

#include <QPointer>
#include <QWidget>

// A toolbar box (an edit, a label or a combo found by its id) as the
// searches fill it; a box that is gone answers as an empty edit.
class CToolbarBoxAdapter : public IToolbarBox {
public:
    CToolbarBoxAdapter(int id, QWidget* box, bool sorted) : m_id(id), m_box(box), m_sorted(sorted) {}

    int GetId() const override { return m_id; }
    void ResetContent() override;
    int AddString(const std::string& text, intptr_t data = 0) override;
    int GetCount() const override;
    std::string GetItemText(int index) const override;
    intptr_t GetItemData(int index) const override;
    int GetCurSel() const override;
    void SetCurSel(int index) override;
    std::string GetText() const override;
    void SetText(const std::string& text) override;
    void Enable(bool on) override;
    bool IsEnabled() const override;
    CDrelDoc* GetOwnerDocument() const override;
    void SetOwnerDocument(CDrelDoc* document) override;

    QWidget* GetWidget() const { return m_box; }

private:
    class QComboBox* Combo() const;

    int m_id;
    QPointer<QWidget> m_box;
    bool m_sorted;
};
