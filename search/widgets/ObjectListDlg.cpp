#include "search/widgets/ObjectListDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "search/ObjectList.h"
#include "search/widgets/NameCombo.h"
#include "search/widgets/WindowPlacement.h"
#include "shell/widgets/DialogControls.h"

#include <QEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

CObjectListDlg::CObjectListDlg(CObjectList& list, QWidget* parent)
    : CDialogBase(parent),
      m_list(list),
      m_names(WithId(kNameCombo, new CNameCombo(this))),
      m_fit(MakeCheck(this, kFitCheck, "&Derinti mastelį")),
      m_keepOpen(MakeCheck(this, kKeepOpenCheck, "&Neužverti lango")),
      m_fold(MakeCheck(this, kFoldCheck, "Be &pasikartojimų")),
      m_count(WithId(kCount, new QLabel(this)))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Objektų sąrašas"));
    m_names->SetList(&m_list.Names());
    m_names->setMinimumWidth(260);
    m_count->setMinimumWidth(m_count->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));

    auto* show = MakeButton(this, IDOK, "&Parodyti");
    show->setDefault(true);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(show);
    buttons->addWidget(MakeButton(this, kInfoButton, "Informacija"));
    buttons->addWidget(MakeButton(this, kEditButton, "Redaguoti informaciją"));
    buttons->addWidget(MakeButton(this, kDeleteButton, "Pašalinti"));
    buttons->addStretch();
    buttons->addWidget(MakeButton(this, IDCANCEL, "&Baigti"));
    for (const int id : {static_cast<int>(IDOK), kInfoButton, kEditButton, kDeleteButton, static_cast<int>(IDCANCEL)})
        if (auto* button = FindControl<QPushButton>(this, id))
            button->setToolTip(button->text().remove(QLatin1Char('&')));

    auto* counting = new QHBoxLayout;
    counting->addWidget(m_fold);
    counting->addStretch();
    counting->addWidget(MakeLabel(this, 0, "Iš viso:"));
    counting->addWidget(m_count);

    auto* left = new QVBoxLayout;
    left->addWidget(m_names);
    left->addLayout(counting);
    left->addWidget(m_fit);
    left->addWidget(m_keepOpen);
    left->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
}

void CObjectListDlg::OnInitDialog()
{
    const CObjectList::COptions& options = CObjectList::Options();
    m_fit->setChecked(options.fitScale);
    m_keepOpen->setChecked(options.keepOpen);
    m_fold->setChecked(m_list.IsFolded());
    m_names->SetText("");
    m_names->Refresh();
    UpdateCount();
    connect(m_fit, &QCheckBox::toggled, this, [](bool on) { CObjectList::Options().fitScale = on; });
    connect(m_keepOpen, &QCheckBox::toggled, this, [](bool on) { CObjectList::Options().keepOpen = on; });
    connect(m_fold, &QCheckBox::toggled, this, [this](bool fold) { OnFold(fold); });
    connect(FindControl<QPushButton>(this, kInfoButton), &QPushButton::clicked, this, [this] { OnInfo(); });
    connect(FindControl<QPushButton>(this, kEditButton), &QPushButton::clicked, this, [this] { OnEdit(); });
    connect(FindControl<QPushButton>(this, kDeleteButton), &QPushButton::clicked, this, [this] { OnDelete(); });
    m_names->lineEdit()->installEventFilter(this);
    CDialogBase::OnInitDialog();
    Place();
}

void CObjectListDlg::Place()
{
    adjustSize();
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const CRect placed =
        PlaceObjectListWindow(ToCRect(frameGeometry()), ToCRect(screen->availableGeometry()));
    move(placed.left, placed.top);
}

void CObjectListDlg::UpdateCount()
{
    m_count->setText(QString::number(m_list.Names().GetCount()));
}

void CObjectListDlg::OnFold(bool fold)
{
    m_list.SetFolded(fold);
    m_names->Refresh();
    UpdateCount();
}

void CObjectListDlg::OnOK()
{
    if (!m_list.Choose(m_names->GetSelection(), m_names->GetText()))
        return;
    if (!m_keepOpen->isChecked()) {
        EndDialog(IDOK);
        return;
    }
    m_list.ShowChosen(m_fit->isChecked());
}

void CObjectListDlg::OnInfo()
{
    m_list.ShowInfo(m_names->GetSelection(), m_names->GetText());
}

void CObjectListDlg::OnEdit()
{
    const int edited = m_list.EditInfo(m_names->GetSelection(), m_names->GetText());
    if (edited < 0)
        return;
    m_names->Refresh();
    m_names->setCurrentIndex(edited);
}

void CObjectListDlg::OnDelete()
{
    if (!m_list.Delete(m_names->GetSelection(), m_names->GetText()))
        return;
    m_names->SetText("");
    m_names->Refresh();
    UpdateCount();
}

bool CObjectListDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick)
        OnInfo();
    return CDialogBase::eventFilter(watched, event);
}

void RunObjectList(CLayer& layer, CDrelView& view, QWidget* parent)
{
    CObjectList list(layer, view);
    if (!list.Load(true))
        return;
    CObjectListDlg dialog(list, parent);
    if (dialog.DoModal() == IDOK)
        list.ShowChosen(CObjectList::Options().fitScale);
}
