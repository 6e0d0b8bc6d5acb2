#pragma once

#include <QComboBox>

#include <string>

class CNameList;
class CNameListModel;

// An editable name box of the search dialogs over a CNameList, which its
// owner keeps: the combo shows the list through a model, so a list built
// or folded anew reaches it at once (Refresh), however long. Typing
// completes the text from the list (CompleteTypedText).
class CNameCombo : public QComboBox {
public:
    explicit CNameCombo(QWidget* parent = nullptr);
    ~CNameCombo() override;

    // The list shown; null shows none.
    void SetList(const CNameList* list);
    // The list changed: it shows anew, the typed text kept.
    void Refresh();

    // The edit's text (code page 1257).
    std::string GetText() const;
    void SetText(const std::string& text);
    // The chosen entry while the edit shows its text; -1 once the user
    // typed something else.
    int GetSelection() const;
    // The entry the user means (CNameList::Resolve); -1 when none.
    int Resolve(int notFoundMessage) const;

private:
    void OnTextEdited(const QString& text);

    CNameListModel* m_model;
    const CNameList* m_list = nullptr;
    int m_lastLength = 0;
};
