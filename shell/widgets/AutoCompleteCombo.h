#pragma once

#include "shell/widgets/ToolbarCombo.h"

#include <functional>
#include <string>

class CDrelDoc;
class QLineEdit;

// Completes what was just typed into a name box's edit by the rule of
// CompleteTypedText over count entries; lastLength holds the edit's
// length before the change and is kept up for the next one.
void CompleteTypedTextInEdit(QLineEdit& edit, int& lastLength, int count,
                             const std::function<std::string(int)>& entryText);

// A combo of the address and administrative-search toolbars. Without an
// owner document it completes typed text: when characters were added at
// the end, the first entry that begins with the text fills the edit, the
// added part selected so that typing on replaces it. A confirmed choice
// asks the searches (ToolbarSearchHooks): in the city box, which has an
// owner document, the street list is filled again for the chosen city;
// without an owner the active map's administrative search hears which
// combo changed.
class CAutoCompleteCombo : public CToolbarCombo {
public:
    using ActiveMapFunction = std::function<CDrelDoc*()>;

    CAutoCompleteCombo(bool editable, bool sorted, QWidget* parent = nullptr);

    CDrelDoc* GetOwnerDocument() const { return m_owner; }
    void SetOwnerDocument(CDrelDoc* document) { m_owner = document; }
    void SetActiveMapFunction(ActiveMapFunction activeMap) { m_activeMap = std::move(activeMap); }

private:
    void OnTextEdited(const QString& text);
    void OnConfirmed();

    CDrelDoc* m_owner = nullptr;
    int m_lastLength = 0;
    ActiveMapFunction m_activeMap;
};
