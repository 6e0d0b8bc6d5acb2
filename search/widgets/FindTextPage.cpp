#include "search/widgets/FindTextPage.h"

#include "layers/Layer.h"
#include "mapdoc/DrelView.h"
#include "mapdoc/widgets/DrawInputFilter.h"
#include "platform/Codepage.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "platform/VirtualKeys.h"
#include "search/FindState.h"
#include "search/widgets/CheckTreeCtrl.h"
#include "search/widgets/SearchResultsDlg.h"
#include "shell/widgets/DialogControls.h"
#include "shell/widgets/DlgItems.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

constexpr int kNothingChecked = 1110;
constexpr int kTextNotFound = 1070;
constexpr int kAskStop = 2029;

QPixmap Picture(const std::function<void(QPainter&)>& draw)
{
    QPixmap picture(CheckTreeCtrl::kImageSize, CheckTreeCtrl::kImageSize);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return picture;
}

} // namespace

std::vector<QPixmap> CDlgFindText_PP::TreeImages()
{
    const QColor ink(40, 40, 40);
    std::vector<QPixmap> images(CSearchTreeItem::kImageCount);
    images[CSearchTreeItem::kRoot] = Picture([&](QPainter& p) {
        // A map sheet with a river.
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(235, 245, 220));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(QPen(QColor(40, 110, 220), 1.5));
        p.setBrush(Qt::NoBrush);
        QPainterPath river(QPointF(2, 11));
        river.cubicTo(QPointF(6, 5), QPointF(9, 12), QPointF(14, 5));
        p.drawPath(river);
    });
    images[CSearchTreeItem::kGroup] = Picture([&](QPainter& p) {
        p.setPen(QPen(QColor(150, 110, 20), 1));
        p.setBrush(QColor(250, 210, 90));
        p.drawRect(QRectF(1.5, 2.5, 6, 3));
        p.drawRect(QRectF(1.5, 4.5, 13, 9));
    });
    images[CSearchTreeItem::kPoint] = Picture([&](QPainter& p) {
        p.setPen(QPen(ink, 1));
        p.setBrush(QColor(220, 40, 40));
        p.drawEllipse(QPointF(8, 8), 4, 4);
    });
    images[CSearchTreeItem::kLine] = Picture([&](QPainter& p) {
        p.setPen(QPen(QColor(30, 60, 200), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{1.5, 13}, {6, 5}, {10, 10}, {14.5, 2.5}}));
    });
    images[CSearchTreeItem::kArea] = Picture([&](QPainter& p) {
        p.setPen(QPen(QColor(30, 100, 30), 1));
        p.setBrush(QColor(120, 200, 110));
        p.drawPolygon(QPolygonF({{2, 4}, {9, 1.5}, {14.5, 6}, {12, 14}, {3, 12.5}}));
    });
    images[CSearchTreeItem::kTrack] = Picture([&](QPainter& p) {
        p.setPen(QPen(QColor(220, 40, 40), 1.5, Qt::DotLine));
        p.drawPolyline(QPolygonF({{2, 13}, {7, 8}, {14, 3}}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 40, 40));
        for (const QPointF& fix : {QPointF(2, 13), QPointF(7, 8), QPointF(14, 3)})
            p.drawEllipse(fix, 1.8, 1.8);
    });
    return images;
}

CDlgFindText_PP::CDlgFindText_PP(CDrelView& view) : CPropertyPage(Utf8ToCp1257("Tekstas")), m_view(view)
{
    SetControlId(this, kDialogId);
}

void CDlgFindText_PP::OnInitDialog()
{
    const CFindState& last = FindState();
    m_text = WithId(kTextEdit, new QLineEdit(this));
    m_scope = WithId(kScopeCombo, new QComboBox(this));
    for (const char* scope : {"Aktyvus sluoksnis", "Visi sluoksniai", "Pasirinkti sluoksniai"})
        m_scope->addItem(QString::fromUtf8(scope));
    m_treeCtrl = WithId(kLayerTree, new CheckTreeCtrl(this));
    QSizePolicy keepRoom = m_treeCtrl->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_treeCtrl->setSizePolicy(keepRoom);
    m_treeCtrl->setMinimumHeight(120);
    auto* fieldsBox = new QGroupBox(QString::fromUtf8("Paieškos laukai"), this);
    auto* allFields = MakeRadio(fieldsBox, kAllFieldsRadio, "Vis&i");
    auto* nameField = MakeRadio(fieldsBox, kNameFieldRadio, "&Vardo laukas");
    auto* fieldChoice = new QButtonGroup(this);
    fieldChoice->addButton(allFields, CFindState::kAllFields);
    fieldChoice->addButton(nameField, CFindState::kNameField);
    auto* fieldsLayout = new QVBoxLayout(fieldsBox);
    fieldsLayout->addWidget(allFields);
    fieldsLayout->addWidget(nameField);
    fieldsLayout->addStretch();
    auto* find = MakeButton(this, kFindButton, "&Rasti");
    find->setDefault(true);

    auto* top = new QGridLayout;
    top->addWidget(MakeLabel(this, 0, "Rasti &tekstą:", m_text), 0, 0);
    top->addWidget(m_text, 0, 1, 1, 2);
    top->addWidget(MakeLabel(this, 0, "Paieškos &sluoksniai:", m_scope), 1, 0);
    top->addWidget(m_scope, 1, 1);
    top->setColumnStretch(2, 1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(m_treeCtrl, 1);
    middle->addWidget(fieldsBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(find);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    FillTree();
    int scope = last.lastLayerScope;
    if (m_activeItem) {
        CheckActiveLayer();
        m_treeCtrl->scrollToItem(m_activeItem);
        m_treeCtrl->setCurrentItem(m_activeItem);
    } else {
        m_treeCtrl->CheckAll();
        if (scope == CFindState::kActiveLayer)
            scope = CFindState::kAllLayers;
    }
    m_scope->setCurrentIndex(scope);
    OnScopeChanged(scope);
    m_text->setText(ToQString(last.lastText));
    (last.lastFieldScope == CFindState::kNameField ? nameField : allFields)->setChecked(true);
    find->setEnabled(!m_text->text().isEmpty());

    connect(m_scope, &QComboBox::currentIndexChanged, this, [this](int index) { OnScopeChanged(index); });
    connect(m_text, &QLineEdit::textChanged, this,
            [this](const QString& text) { EnableDlgItem(this, kFindButton, !text.isEmpty()); });
    connect(find, &QPushButton::clicked, this, [this] { OnFind(); });
    CPropertyPage::OnInitDialog();
}

void CDlgFindText_PP::FillTree()
{
    m_treeCtrl->SetImageList(TreeImages());
    m_tree = BuildSearchTree(m_view.GetDocument());
    const CLayer* active = m_view.GetActiveLayer();
    m_items.clear();
    for (const CSearchTreeItem& item : m_tree) {
        QTreeWidgetItem* parent = item.parent >= 0 ? m_items[static_cast<size_t>(item.parent)] : nullptr;
        m_items.push_back(m_treeCtrl->InsertItem(ToQString(item.text), item.image, parent));
        if (active && item.layer == active)
            m_activeItem = m_items.back();
    }
    if (!m_items.empty())
        m_items.front()->setExpanded(true);
}

void CDlgFindText_PP::CheckActiveLayer()
{
    QTreeWidgetItem* root = m_items.front();
    m_treeCtrl->SetCheck(root, false);
    m_treeCtrl->SetDescendants(root, CCheckTreeModel::kUnchecked);
    if (!m_activeItem)
        return;
    m_treeCtrl->SetCheck(m_activeItem, true);
    m_treeCtrl->SetDescendants(m_activeItem, CCheckTreeModel::kChecked);
    m_treeCtrl->UpdateParents(m_activeItem);
}

void CDlgFindText_PP::OnScopeChanged(int scope)
{
    m_treeCtrl->setVisible(scope == CFindState::kChosenLayers);
}

bool CDlgFindText_PP::AskStop(CDrawInputFilter& input)
{
    bool escape = false;
    input.Poll([&escape](const CWaitingInput& input) {
        if (input.kind != CWaitingInput::kKeyDown)
            return WaitingInputAction::kKeep;
        escape = escape || input.key == VK_ESCAPE;
        return WaitingInputAction::kRemove;
    });
    return escape && AskYesNo(kAskStop);
}

void CDlgFindText_PP::OnFind()
{
    CFindState& last = FindState();
    last.lastPage = CFindState::kTextPage;
    last.lastText = FromQString(m_text->text());
    last.lastFieldScope = FindControl<QAbstractButton>(this, kNameFieldRadio)->isChecked() ? CFindState::kNameField
                                                                                            : CFindState::kAllFields;
    last.lastLayerScope = m_scope->currentIndex();
    if (last.lastLayerScope == CFindState::kActiveLayer)
        CheckActiveLayer();
    else if (last.lastLayerScope == CFindState::kAllLayers)
        m_treeCtrl->CheckAll();

    CTextSearchResults results;
    TextSearchEnd end;
    {
        CWaitCursor wait;
        // The input that comes meanwhile waits for the search's end.
        CDrawInputFilter input(window());
        end = SearchCheckedLayers(
            m_tree, [this](int item) { return m_treeCtrl->GetCheck(m_items[static_cast<size_t>(item)]); },
            CTextPattern(last.lastText), last.lastFieldScope == CFindState::kNameField, results,
            [this, &input] { return AskStop(input); });
        input.ReleaseHeld();
    }
    if (end == TextSearchEnd::kNothingChecked) {
        AppMessageBox(kNothingChecked);
        return;
    }
    if (results.GetCount() == 0) {
        AppMessageBox(kTextNotFound);
        return;
    }
    CSearchResultsDlg dialog(results, m_view, window());
    dialog.DoModal();
}
