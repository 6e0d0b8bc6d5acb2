#include "shell/widgets/ToolbarCustomizeDialog.h"

#include "platform/QtText.h"
#include "shell/CommandText.h"
#include "shell/widgets/CommandActions.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/CustomToolBar.h"
#include "shell/widgets/ToolbarIcons.h"

#include <QAction>
#include <algorithm>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

enum CustomizeControl : int {
    kOfferedList = 201,
    kShownList = 203,
    kAddButton = 1,
    kRemoveButton = 204,
    kCloseButton = 2,
    kResetButton = 202,
    kHelpButton = 205,
    kUpButton = 206,
    kDownButton = 207,
};

struct Labels {
    const char* caption;
    const char* offered;
    const char* shown;
    const char* add;
    const char* remove;
    const char* close;
    const char* reset;
    const char* help;
    const char* up;
    const char* down;
    const char* separator;
};

constexpr Labels kLithuanian = {
    "Įrankių juostos priderinimas", "Neįtraukti mygtukai:", "Įtraukti mygtukai:", "Pridėti ->", "<- Pašalinti",
    "Uždaryti", "Pradinė", "Pagalba", "Aukštyn", "Žemyn", "Skirtukas",
};
constexpr Labels kEnglish = {
    "Customize Toolbar", "Available toolbar buttons:", "Current toolbar buttons:", "Add ->", "<- Remove",
    "Close", "Reset", "Help", "Move Up", "Move Down", "Separator",
};

// The shown list ends in an empty row, where an added button goes last.
constexpr int kEndRow = -1;

QPushButton* MakeButton(const char* text, int id, QWidget* parent)
{
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    SetControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CToolbarCustomizeDialog::CToolbarCustomizeDialog(CCustomToolBar& bar, CCommandActions& actions, bool lithuanian,
                                                 QWidget* parent)
    : QDialog(parent), m_bar(bar), m_actions(actions)
{
    const Labels& labels = lithuanian ? kLithuanian : kEnglish;
    setWindowTitle(QString::fromUtf8(labels.caption));
    m_separatorText = QString::fromUtf8(labels.separator);

    m_offered = new QListWidget(this);
    SetControlId(m_offered, kOfferedList);
    m_shown = new QListWidget(this);
    SetControlId(m_shown, kShownList);
    for (QListWidget* list : {m_offered, m_shown}) {
        list->setIconSize(QSize(16, 16));
        list->setMinimumSize(200, 260);
    }
    auto* offeredLabel = new QLabel(QString::fromUtf8(labels.offered), this);
    offeredLabel->setBuddy(m_offered);
    auto* shownLabel = new QLabel(QString::fromUtf8(labels.shown), this);
    shownLabel->setBuddy(m_shown);

    m_add = MakeButton(labels.add, kAddButton, this);
    m_remove = MakeButton(labels.remove, kRemoveButton, this);
    auto* close = MakeButton(labels.close, kCloseButton, this);
    auto* reset = MakeButton(labels.reset, kResetButton, this);
    auto* help = MakeButton(labels.help, kHelpButton, this);
    help->hide(); // the program has no help pages for it
    m_up = MakeButton(labels.up, kUpButton, this);
    m_down = MakeButton(labels.down, kDownButton, this);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(m_add);
    middle->addWidget(m_remove);
    middle->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(close);
    right->addWidget(reset);
    right->addWidget(help);
    right->addSpacing(16);
    right->addWidget(m_up);
    right->addWidget(m_down);
    right->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addWidget(offeredLabel, 0, 0);
    grid->addWidget(shownLabel, 0, 2);
    grid->addWidget(m_offered, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_shown, 1, 2);
    grid->addLayout(right, 1, 3);

    connect(m_add, &QPushButton::clicked, this, &CToolbarCustomizeDialog::Add);
    connect(m_remove, &QPushButton::clicked, this, &CToolbarCustomizeDialog::Remove);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(reset, &QPushButton::clicked, this, &CToolbarCustomizeDialog::Reset);
    connect(m_up, &QPushButton::clicked, this, [this] { MoveSelected(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { MoveSelected(1); });
    connect(m_offered, &QListWidget::itemDoubleClicked, this, &CToolbarCustomizeDialog::Add);
    connect(m_shown, &QListWidget::itemDoubleClicked, this, &CToolbarCustomizeDialog::Remove);
    connect(m_offered, &QListWidget::currentRowChanged, this, &CToolbarCustomizeDialog::UpdateButtons);
    connect(m_shown, &QListWidget::currentRowChanged, this, &CToolbarCustomizeDialog::UpdateButtons);
    Fill(0);
}

void CToolbarCustomizeDialog::Fill(int shownRow)
{
    const CCustomToolBarModel& model = *m_bar.Model();
    const auto addItem = [this](QListWidget* list, int id) {
        auto* item = new QListWidgetItem(list);
        item->setData(Qt::UserRole, id);
        if (id > 0) {
            item->setText(ToQString(GetCommandToolTip(id)));
            item->setIcon(ToolbarIcon(id));
        } else if (id == 0) {
            item->setText(m_separatorText);
        }
    };
    const int offeredRow = std::max(0, m_offered->currentRow());
    m_offered->clear();
    addItem(m_offered, 0);
    for (const int id : model.GetOfferedButtons())
        addItem(m_offered, id);
    m_offered->setCurrentRow(std::min(offeredRow, m_offered->count() - 1));

    m_shown->clear();
    for (const int id : model.GetButtons())
        addItem(m_shown, id);
    addItem(m_shown, kEndRow);
    m_shown->setCurrentRow(std::clamp(shownRow, 0, m_shown->count() - 1));
    UpdateButtons();
}

void CToolbarCustomizeDialog::UpdateButtons()
{
    const int shownRow = m_shown->currentRow();
    const int buttons = static_cast<int>(m_bar.Model()->GetButtons().size());
    const bool onButton = shownRow >= 0 && shownRow < buttons;
    m_add->setEnabled(m_offered->currentRow() >= 0);
    m_remove->setEnabled(onButton);
    m_up->setEnabled(onButton && shownRow > 0);
    m_down->setEnabled(onButton && shownRow + 1 < buttons);
}

void CToolbarCustomizeDialog::Add()
{
    const QListWidgetItem* offered = m_offered->currentItem();
    if (!offered)
        return;
    const int row = std::max(0, m_shown->currentRow());
    if (m_bar.Model()->Insert(row, offered->data(Qt::UserRole).toInt())) {
        m_bar.OnToolbarChanged();
        Fill(row + 1);
    }
}

void CToolbarCustomizeDialog::Remove()
{
    const int row = m_shown->currentRow();
    if (m_bar.Model()->Remove(row)) {
        m_bar.OnToolbarChanged();
        Fill(row);
    }
}

void CToolbarCustomizeDialog::MoveSelected(int delta)
{
    const int row = m_shown->currentRow();
    if (m_bar.Model()->Move(row, delta)) {
        m_bar.OnToolbarChanged();
        Fill(row + delta);
    }
}

void CToolbarCustomizeDialog::Reset()
{
    m_bar.Model()->Reset();
    m_bar.OnToolbarChanged();
    Fill(0);
}
