#include "gps/widgets/GpsSettingsDialogs.h"

#include "gps/GpsContext.h"
#include "gps/GpsWindowRules.h"
#include "layers/Layer.h"
#include "mapdoc/DrelDoc.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/DialogControls.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

constexpr int kChooseTrackLayer = 1119;

bool IsTrackLayer(const CLayer* layer)
{
    return layer && layer->GetType() == CLayer::kTrack && !layer->HasFlag(CLayer::kGroup);
}

} // namespace

// ------------------------------------------------------------ UTC correction

CTimeCorrectionDlg::CTimeCorrectionDlg(int hours, QWidget* parent) : CDialogBase(parent), m_hours(hours)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("UTC laiko koregavimas"));
    auto* list = WithId(kList, new QComboBox(this));
    for (int entry = 0; entry < kTimeCorrectionEntries; ++entry)
        list->addItem(ToQString(TimeCorrectionText(entry)));
    list->setMaxVisibleItems(kTimeCorrectionEntries);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list);
    layout->addLayout(MakeOkCancelRow());
}

void CTimeCorrectionDlg::DoDataExchange(CDataExchange& dx)
{
    int entry = TimeCorrectionEntry(m_hours);
    dx.ComboIndex(kList, entry);
    if (dx.IsSaving())
        m_hours = TimeCorrectionFromEntry(entry, m_hours);
}

// ------------------------------------------------------------ replay source

CDlgReplay::CDlgReplay(const CLayer* activeLayer, QWidget* parent)
    : CDialogBase(parent), m_source(IsTrackLayer(activeLayer) ? 1 : 0)
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Judėjimo atkūrimas"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(MakeRadio(this, kTrackFile, "Einamasis failas, į kurį išsaugomi trasos duomenys"));
    layout->addWidget(MakeRadio(this, kActiveLayer, "Duomenys iš aktyvaus sluoksnio "));
    layout->addLayout(MakeOkCancelRow());
}

void CDlgReplay::DoDataExchange(CDataExchange& dx)
{
    dx.Radio({kTrackFile, kActiveLayer}, m_source);
}

void RunReplayDialog(CGpsContext& context, const CLayer* activeLayer, QWidget* parent)
{
    CDlgReplay dialog(activeLayer, parent);
    if (dialog.DoModal() != IDOK)
        return;
    if (dialog.GetSource() == CDlgReplay::kActiveLayer) {
        if (IsTrackLayer(activeLayer))
            context.Replay().Load(*activeLayer);
        else
            AppMessageBox(kChooseTrackLayer, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const CLayer track(std::string(), context.Recorder().GetTrackFileName(), CLayer::kTrack);
    context.Replay().Load(track);
}

// ------------------------------------------------------------ saving target

CDlgGpsSaveParams::CDlgGpsSaveParams(CDrelDoc& document, std::string layerName, LayerMaker makeLayer,
                                     QWidget* parent)
    : CDialogBase(parent), m_document(document), m_layerName(std::move(layerName)), m_makeLayer(std::move(makeLayer))
{
    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("GPS duomenų išsaugojimo parametrai"));
    auto* list = WithId(kLayers, new QComboBox(this));
    for (int i = 0; i < document.GetLayerCount(); ++i) {
        const CLayer* layer = document.GetLayer(i);
        const int type = layer->GetType();
        if (!layer->HasFlag(CLayer::kGroup) && (type == CLayer::kPoint || type == CLayer::kTrack))
            list->addItem(ToQString(layer->GetName()));
    }
    list->setMinimumContentsLength(30);
    auto* create = MakeButton(this, kCreate, "Sukurti naują...");
    create->setEnabled(static_cast<bool>(m_makeLayer));
    connect(create, &QPushButton::clicked, this, [this] { OnCreate(); });
    auto* row = new QHBoxLayout;
    row->addWidget(MakeLabel(this, 0, "Sluoksnis:", list));
    row->addWidget(list, 1);
    row->addWidget(create);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(MakeOkCancelRow());
}

void CDlgGpsSaveParams::OnCreate()
{
    CLayer* layer = m_makeLayer ? m_makeLayer(m_document) : nullptr;
    auto* list = FindControl<QComboBox>(this, kLayers);
    if (!layer || !list)
        return;
    list->addItem(ToQString(layer->GetName()));
    list->setCurrentIndex(list->count() - 1);
}

void CDlgGpsSaveParams::DoDataExchange(CDataExchange& dx)
{
    auto* list = FindControl<QComboBox>(this, kLayers);
    if (!list)
        return;
    if (!dx.IsSaving()) {
        list->setCurrentIndex(list->findText(ToQString(m_layerName)));
        return;
    }
    // Without a choice the map keeps its target.
    if (list->currentIndex() >= 0)
        m_layerName = FromQString(list->currentText());
}
