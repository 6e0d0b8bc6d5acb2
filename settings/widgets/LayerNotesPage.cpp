#include "settings/widgets/LayerNotesPage.h"

#include "layers/Layer.h"
#include "platform/QtText.h"
#include "settings/BaseScales.h"
#include "settings/widgets/SheetControls.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include <string>

namespace {

constexpr int kPageNumber = 5;
constexpr int kEditCheck = 1015;
constexpr int kNotesEdit = 1017;

// The notes keep the line ends of the map's multi-line edits.
std::string ToStoredLines(const std::string& text)
{
    std::string stored;
    stored.reserve(text.size());
    for (const char c : text) {
        if (c == '\n')
            stored += '\r';
        stored += c;
    }
    return stored;
}

std::string ToShownLines(const std::string& text)
{
    std::string shown;
    shown.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            shown += text[i];
    return shown;
}

} // namespace

CLayerNotesPage::CLayerNotesPage(CLayerPropSheet& sheet) : CLayerSheetPage("Pastabos", sheet) {}

void CLayerNotesPage::OnInitDialog()
{
    m_edit = WithId(kNotesEdit, new QPlainTextEdit(this));
    auto* edit = MakeCheck(this, kEditCheck, "Redaguoti");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_edit, 1);
    layout->addWidget(edit);
    connect(edit, &QCheckBox::toggled, this, [this](bool on) { OnEdit(on); });
    CLayerSheetPage::OnInitDialog();
    m_edit->setPlainText(ToQString(ToShownLines(Layer().GetNotes())));
    m_edit->document()->setModified(false);
    m_edit->setReadOnly(true);
}

bool CLayerNotesPage::OnKillActive()
{
    if (m_edit->document()->isModified()) {
        Layer().SetNotes(ToStoredLines(FromQString(m_edit->toPlainText())));
        m_edit->document()->setModified(false);
    }
    SetLastLayerSheetPage(kPageNumber);
    return true;
}

void CLayerNotesPage::OnEdit(bool on)
{
    m_edit->setReadOnly(!on);
    if (!on)
        return;
    m_edit->moveCursor(QTextCursor::End);
    m_edit->setFocus(Qt::OtherFocusReason);
}
