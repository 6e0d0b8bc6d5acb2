#include "search/widgets/CoordTransformDlg.h"

#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "platform/Strings.h"
#include "search/CoordTransform.h"
#include "shell/widgets/ControlIds.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <string>
#include <vector>

namespace {

constexpr int kLanguage = 136;
constexpr char kHelp[] =
    "X ir Y koordinatės atskiriamos tarpais. Galite įvesti iš karto kelias eilutes su koordinatėmis. "
    "Vietoje laipsnio ženklo (°) galite naudoti  žvaigždutę (*) arba kitą ženklą. Ilgumos ir platumos "
    "užrašyme 'E' ir 'N' galite praleisti.";
// Room for a few lines of two coordinates each.
constexpr int kEditWidth = 250;
constexpr int kEditHeight = 160;

QComboBox* MakeSystemList(QWidget* parent, int id, int start)
{
    auto* combo = new QComboBox(parent);
    SetControlId(combo, id);
    for (int i = 0; i < kCoordTransformEntryCount; ++i)
        combo->addItem(QString::fromUtf8(CoordTransformEntry(i)->text));
    combo->setCurrentIndex(start);
    return combo;
}

QPlainTextEdit* MakeEdit(QWidget* parent, int id)
{
    auto* edit = new QPlainTextEdit(parent);
    SetControlId(edit, id);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setMinimumSize(kEditWidth, kEditHeight);
    return edit;
}

} // namespace

CCoordTransformDlg::CCoordTransformDlg(QWidget* parent)
    : CDialogBase(parent),
      m_left(MakeEdit(this, kLeftEdit)),
      m_right(MakeEdit(this, kRightEdit)),
      m_leftSystem(MakeSystemList(this, kLeftSystem, kCoordTransformLeftStart)),
      m_rightSystem(MakeSystemList(this, kRightSystem, kCoordTransformRightStart))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Koordinačių transformavimas"));
    auto* toRight = new QPushButton(QString::fromUtf8("Perskaičiuoti  >>"), this);
    SetControlId(toRight, kToRightButton);
    auto* toLeft = new QPushButton(QString::fromUtf8("<< Perskaičiuoti"), this);
    SetControlId(toLeft, kToLeftButton);
    auto* close = new QPushButton(QString::fromUtf8("Uždaryti"), this);
    SetControlId(close, IDCANCEL);
    for (QPushButton* button : {toRight, toLeft, close})
        button->setAutoDefault(false);
    auto* help = new QLabel(QString::fromUtf8(kHelp), this);
    help->setWordWrap(true);

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(toRight);
    middle->addWidget(toLeft);
    middle->addStretch();
    auto* grid = new QGridLayout;
    const auto systemRow = [this](QComboBox* combo) {
        auto* row = new QHBoxLayout;
        auto* label = new QLabel(QString::fromUtf8("Koordinačių sistema:"), this);
        label->setBuddy(combo);
        row->addWidget(label);
        row->addWidget(combo, 1);
        return row;
    };
    grid->addLayout(systemRow(m_leftSystem), 0, 0);
    grid->addLayout(systemRow(m_rightSystem), 0, 2);
    grid->addWidget(m_left, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(m_right, 1, 2);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(help, 1);
    bottom->addWidget(close, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(bottom);

    connect(m_left, &QPlainTextEdit::textChanged, this, [this] { m_leftTyped = m_leftTyped || !m_writing; });
    connect(m_leftSystem, &QComboBox::currentIndexChanged, this, [this] { ShowSample(); });
    connect(toRight, &QPushButton::clicked, this,
            [this] { Transform(m_leftSystem, m_left, m_rightSystem, m_right); });
    connect(toLeft, &QPushButton::clicked, this,
            [this] { Transform(m_rightSystem, m_right, m_leftSystem, m_left); });
    ShowSample();
}

void CCoordTransformDlg::SetEditText(QPlainTextEdit* edit, const QString& text)
{
    m_writing = true;
    edit->setPlainText(text);
    m_writing = false;
    if (edit == m_left)
        m_leftTyped = false;
}

void CCoordTransformDlg::ShowSample()
{
    const std::string text = FromQString(m_left->toPlainText());
    if (!TakesCoordTransformSample(m_leftTyped, text.size()))
        return;
    const bool english = LoadString(kLanguage) == "English";
    SetEditText(m_left, ToQString(CoordTransformSample(m_leftSystem->currentIndex(), english)));
}

void CCoordTransformDlg::Transform(QComboBox* fromSystem, QPlainTextEdit* from, QComboBox* toSystem,
                                   QPlainTextEdit* to)
{
    std::vector<std::string> lines;
    if (!TransformCoordLines(FromQString(from->toPlainText()), fromSystem->currentIndex(), toSystem->currentIndex(),
                             lines))
        return;
    std::string text;
    for (const std::string& line : lines)
        text += line + '\n';
    SetEditText(to, ToQString(text));
}
