#include "search/widgets/NameCombo.h"

#include "platform/QtText.h"
#include "search/NameList.h"
#include "shell/widgets/AutoCompleteCombo.h"

#include <QAbstractListModel>
#include <QLineEdit>
#include <QListView>

// The entries of a name list, read as the combo asks for them: the text,
// the record as the user data.
class CNameListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void SetList(const CNameList* list)
    {
        beginResetModel();
        m_list = list;
        endResetModel();
    }
    void Reset()
    {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() || !m_list ? 0 : m_list->GetCount();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!m_list || !index.isValid() || !m_list->IsEntry(index.row()))
            return {};
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return ToQString(m_list->GetText(index.row()));
        if (role == Qt::UserRole)
            return m_list->GetRecord(index.row());
        return {};
    }

private:
    const CNameList* m_list = nullptr;
};

CNameCombo::CNameCombo(QWidget* parent) : QComboBox(parent), m_model(new CNameListModel(this))
{
    setEditable(true);
    // Completion is the list's own rule, and a typed text is no new entry.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    setModel(m_model);
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    connect(lineEdit(), &QLineEdit::textEdited, this, &CNameCombo::OnTextEdited);
}

CNameCombo::~CNameCombo() = default;

void CNameCombo::SetList(const CNameList* list)
{
    const QString text = currentText();
    m_list = list;
    m_model->SetList(list);
    setEditText(text);
}

void CNameCombo::Refresh()
{
    const QString text = currentText();
    m_model->Reset();
    setEditText(text);
}

std::string CNameCombo::GetText() const
{
    return FromQString(currentText());
}

void CNameCombo::SetText(const std::string& text)
{
    setEditText(ToQString(text));
    m_lastLength = static_cast<int>(currentText().size());
}

int CNameCombo::GetSelection() const
{
    const int index = currentIndex();
    return m_list && m_list->IsEntry(index) && ToQString(m_list->GetText(index)) == currentText() ? index : -1;
}

int CNameCombo::Resolve(int notFoundMessage) const
{
    return m_list ? m_list->Resolve(GetSelection(), GetText(), notFoundMessage) : -1;
}

void CNameCombo::OnTextEdited(const QString&)
{
    CompleteTypedTextInEdit(*lineEdit(), m_lastLength, m_list ? m_list->GetCount() : 0,
                            [this](int i) { return m_list->GetText(i); });
}
