#include "geoproc/widgets/BlockLayerDlg.h"

#include "layers/FeatureSource.h"
#include "layers/Layer.h"
#include "layers/LayerReader.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DialogControls.h"
#include "shell/widgets/FilePrompt.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

using Rules = CStreetBlockRules;

bool ChooseSavePath(std::string& path, const std::string& filter)
{
    CQtFilePrompt prompt;
    return prompt.PromptFileName(path, false, filter, "gdb");
}

std::vector<std::string> StreetFields(const CLayer& streets)
{
    CLayerReader reader;
    if (!reader.Open(streets.GetPath()) || !reader.GetSource()->GetTable().IsOpen())
        return {};
    return Rules::WidthFields(reader.GetSource()->GetTable());
}

QComboBox* MakeCombo(QWidget* parent, int id, const std::vector<std::string>& items)
{
    auto* combo = WithId(id, new QComboBox(parent));
    for (const std::string& item : items)
        combo->addItem(ToQString(item));
    return combo;
}

} // namespace

CBlockLayerDlg::CBlockLayerDlg(const CDrelDoc& document, const CLayer& streets, const CStreetBlockChoice& choice,
                               QWidget* parent)
    : CDialogBase(parent), chooseFile(ChooseSavePath), m_document(document), m_choice(choice),
      m_fields(StreetFields(streets)), m_frames(Rules::FrameLayers(document)),
      m_field(Rules::ProposedField(m_fields)), m_frame(Rules::ProposedFrame(m_frames))
{
    SetControlId(this, Rules::kDialog);
    setWindowTitle(QString::fromUtf8("Kvartalų sluoksnio kūrimas"));
    auto* oneWidth = MakeRadio(this, Rules::kOneWidth, "Vienodas visoms gatvėms:");
    auto* fieldWidth = MakeRadio(this, Rules::kFieldWidth, "Nurodytas duomenų bazėje:");
    auto* width = WithId(Rules::kWidth, new QLineEdit(this));
    auto* field = MakeCombo(this, Rules::kWidthField, m_fields);
    auto* frame = MakeCombo(this, Rules::kFrameLayer, m_frames);
    auto* tolerance = WithId(Rules::kTolerance, new QLineEdit(this));
    auto* blockName = WithId(Rules::kBlockName, new QLineEdit(this));
    auto* blockFile = WithId(Rules::kBlockFile, new QLineEdit(this));
    auto* streetName = WithId(Rules::kStreetName, new QLineEdit(this));
    auto* streetFile = WithId(Rules::kStreetFile, new QLineEdit(this));
    auto* blockFiles = MakeButton(this, Rules::kBlockFiles, "F&ailai...");
    auto* streetFiles = MakeButton(this, Rules::kStreetFiles, "F&ailai...");
    connect(oneWidth, &QRadioButton::toggled, this, [this] { UpdateMode(); });
    connect(blockFiles, &QPushButton::clicked, this, [this, blockFile] { OnFiles(blockFile); });
    connect(streetFiles, &QPushButton::clicked, this, [this, streetFile] { OnFiles(streetFile); });

    auto* grid = new QGridLayout;
    int row = 0;
    grid->addWidget(MakeLabel(this, 0, "Gatvių plotis, m"), row++, 0, 1, 3);
    grid->addWidget(oneWidth, row, 0);
    grid->addWidget(width, row++, 1, 1, 2);
    grid->addWidget(fieldWidth, row, 0);
    grid->addWidget(field, row++, 1, 1, 2);
    grid->addWidget(MakeLabel(this, 0, "Ribojančio stačiakampio sluoksnis:", frame), row, 0);
    grid->addWidget(frame, row++, 1, 1, 2);
    grid->addWidget(MakeLabel(this, 0, "Tolerancija:", tolerance), row, 0);
    grid->addWidget(tolerance, row++, 1, 1, 2);
    grid->addWidget(MakeLabel(this, 0, "Kvartalų sluoksnis:", blockName), row, 0);
    grid->addWidget(blockName, row++, 1, 1, 2);
    grid->addWidget(MakeLabel(this, 0, "Failas:", blockFile), row, 0);
    grid->addWidget(blockFile, row, 1);
    grid->addWidget(blockFiles, row++, 2);
    grid->addWidget(MakeLabel(this, 0, "Gatvių plotų sluoksnis:", streetName), row, 0);
    grid->addWidget(streetName, row++, 1, 1, 2);
    grid->addWidget(MakeLabel(this, 0, "Failas:", streetFile), row, 0);
    grid->addWidget(streetFile, row, 1);
    grid->addWidget(streetFiles, row++, 2);
    grid->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(MakeOkCancelRow());
    setMinimumWidth(480);
}

void CBlockLayerDlg::OnInitDialog()
{
    CDialogBase::OnInitDialog();
    UpdateMode();
}

void CBlockLayerDlg::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({Rules::kOneWidth, Rules::kFieldWidth}, m_choice.mode);
    dx.ComboIndex(Rules::kWidthField, m_field);
    dx.ComboIndex(Rules::kFrameLayer, m_frame);
    dx.Real(Rules::kTolerance, m_choice.tolerance, 0, Rules::kMaxTolerance);
    dx.Text(Rules::kBlockName, m_choice.blockName);
    dx.Text(Rules::kBlockFile, m_choice.blockPath);
    dx.Text(Rules::kStreetName, m_choice.streetName);
    dx.Text(Rules::kStreetFile, m_choice.streetPath);
    // The width counts in mode 0 only; there it must be a number.
    if (!dx.IsSaving() || m_choice.mode == 0)
        dx.Real(Rules::kWidth, m_choice.width);
}

void CBlockLayerDlg::UpdateMode()
{
    const bool one = FindControl<QRadioButton>(this, Rules::kOneWidth)->isChecked();
    FindControl<QLineEdit>(this, Rules::kWidth)->setEnabled(one);
    FindControl<QComboBox>(this, Rules::kWidthField)->setEnabled(!one);
}

void CBlockLayerDlg::OnFiles(QLineEdit* edit)
{
    std::string path = FromQString(edit->text());
    if (chooseFile && chooseFile(path, Rules::kFileFilter))
        edit->setText(ToQString(path));
}

void CBlockLayerDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    const auto chosen = [](const std::vector<std::string>& names, int index) {
        return index >= 0 && index < static_cast<int>(names.size()) ? names[static_cast<size_t>(index)]
                                                                   : std::string();
    };
    m_choice.widthField = chosen(m_fields, m_field);
    m_choice.frameLayer = chosen(m_frames, m_frame);
    int focus = 0;
    if (!Rules::Accept(m_document, m_choice, focus)) {
        if (auto* edit = FindControl<QLineEdit>(this, focus)) {
            if (focus == Rules::kBlockFile)
                edit->setText(ToQString(m_choice.blockPath));
            else if (focus == Rules::kStreetFile)
                edit->setText(ToQString(m_choice.streetPath));
            edit->setFocus();
            edit->selectAll();
        } else if (QWidget* control = FindControl<QWidget>(this, focus)) {
            control->setFocus();
        }
        return;
    }
    EndDialog(IDOK);
}
