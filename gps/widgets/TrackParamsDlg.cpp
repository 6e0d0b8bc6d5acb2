#include "gps/widgets/TrackParamsDlg.h"

#include "core/FileUtil.h"
#include "gps/GpsContext.h"
#include "gps/GpsReceiverPort.h"
#include "gps/widgets/TrackStatisticsDlg.h"
#include "layers/Layer.h"
#include "platform/Codepage.h"
#include "platform/Path.h"
#include "platform/QtText.h"
#include "platform/UserServices.h"
#include "shell/MainFrameCore.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DataExchange.h"
#include "shell/widgets/FilePrompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <span>

namespace {

constexpr int kAskClear = 2026;
constexpr char kTrackFilter[] = "Drel Track Files (*.trk)|*.trk||";
constexpr char kAskReplace[] = "Failas \"%1\" jau yra. Pakeisti jį nauju trasos failu?";

CTrackParamsDlg::FilePicker g_picker;

bool PickWithFileDialog(std::string& path)
{
    QFileDialog dialog(QApplication::activeWindow());
    SetUpFileDialog(dialog, false, kTrackFilter, ".trk", path);
    // The track dialog asks itself, and replaces the file only on its OK.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = FromNativePath(dialog.selectedFiles().front().toStdString());
    return true;
}

QComboBox* MakeList(QWidget* parent, int id, std::span<const char* const> texts)
{
    auto* list = new QComboBox(parent);
    SetControlId(list, id);
    for (const char* text : texts)
        list->addItem(QString::fromUtf8(text));
    return list;
}

QCheckBox* MakeCheck(QWidget* parent, int id, const char* text)
{
    auto* check = new QCheckBox(QString::fromUtf8(text), parent);
    SetControlId(check, id);
    return check;
}

QPushButton* MakeButton(QWidget* parent, int id, const char* text)
{
    auto* button = new QPushButton(QString::fromUtf8(text), parent);
    SetControlId(button, id);
    button->setAutoDefault(false);
    return button;
}

} // namespace

void CTrackParamsDlg::SetFilePicker(FilePicker picker)
{
    g_picker = std::move(picker);
}

CTrackParamsDlg::CTrackParamsDlg(CGpsContext& context, QWidget* parent)
    : CDialogBase(parent), m_context(context), m_settings(context.Recorder().Settings())
{
    m_trackFile = m_settings.TrackFilePath();
    if (CGpsReceiverPort* receiver = context.Receiver())
        m_writeToLog = receiver->Receiver().GetWriteToLog() ? 1 : 0;

    SetControlId(this, kDialogId);
    setWindowTitle(QString::fromUtf8("Trasos parametrai"));
    auto* layout = new QGridLayout(this);
    int row = 0;
    layout->addWidget(MakeCheck(this, kSaveTrack, "Rašyti trasą į failą"), row++, 0, 1, 3);
    layout->addWidget(new QLabel(QString::fromUtf8("Trasos failas:"), this), row, 0);
    auto* file = new QLineEdit(this);
    SetControlId(file, kTrackFile);
    file->setMinimumWidth(file->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
    layout->addWidget(file, row, 1);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(MakeButton(this, kNewFile, "Naujas..."));
    fileButtons->addWidget(MakeButton(this, kClearFile, "Išvalyti"));
    fileButtons->addWidget(MakeButton(this, kStatistics, "Statistika..."));
    layout->addLayout(fileButtons, row++, 2);
    layout->addWidget(new QLabel(QString::fromUtf8("Mažiausias laiko tarpas:"), this), row, 0);
    layout->addWidget(MakeList(this, kPeriod, kTrackPeriodTexts), row++, 1, Qt::AlignLeft);
    layout->addWidget(new QLabel(QString::fromUtf8("Mažiausias atstumas:"), this), row, 0);
    layout->addWidget(MakeList(this, kDistance, kTrackDistanceTexts), row++, 1, Qt::AlignLeft);
    layout->addWidget(MakeCheck(this, kSkipInvalid, "Išsaugoti tik teisingus GPS duomenis"), row++, 0, 1, 3);
    layout->addWidget(MakeCheck(this, kShowTrack, "Rodyti paskutinius trasos taškus"), row, 0);
    layout->addWidget(MakeList(this, kTrailLength, kTrackLengthTexts), row++, 1, Qt::AlignLeft);
    layout->addWidget(MakeCheck(this, kWriteLog, "Rašyti NMEA duomenis į LOG failą"), row++, 0, 1, 3);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    SetControlId(ok, IDOK);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QString::fromUtf8("Atsisakyti"), this);
    SetControlId(cancel, IDCANCEL);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, row, 0, 1, 3);

    connect(FindControl<QPushButton>(this, kNewFile), &QPushButton::clicked, this, [this] { OnNewFile(); });
    connect(FindControl<QPushButton>(this, kClearFile), &QPushButton::clicked, this, [this] { OnClearFile(); });
    connect(FindControl<QPushButton>(this, kStatistics), &QPushButton::clicked, this, [this] { OnStatistics(); });
}

void CTrackParamsDlg::DoDataExchange(CDataExchange& dx)
{
    int save = m_settings.saveTrack ? 1 : 0;
    int show = m_settings.showTrack ? 1 : 0;
    int skip = m_settings.skipInvalidData ? 1 : 0;
    dx.Check(kSaveTrack, save);
    dx.Check(kShowTrack, show);
    dx.ComboIndex(kPeriod, m_settings.minPeriod);
    dx.ComboIndex(kDistance, m_settings.minDistance);
    dx.ComboIndex(kTrailLength, m_settings.maxPoints);
    dx.Text(kTrackFile, m_trackFile);
    dx.Check(kSkipInvalid, skip);
    dx.Check(kWriteLog, m_writeToLog);
    if (!dx.IsSaving())
        return;
    m_settings.saveTrack = save != 0;
    m_settings.showTrack = show != 0;
    m_settings.skipInvalidData = skip != 0;
    // Lists left without a choice keep the defaults.
    const CTrackSettings defaults;
    if (m_settings.minPeriod < 0)
        m_settings.minPeriod = defaults.minPeriod;
    if (m_settings.minDistance < 0)
        m_settings.minDistance = defaults.minDistance;
    if (m_settings.maxPoints < 0)
        m_settings.maxPoints = defaults.maxPoints;
    m_settings.trackFileName = m_trackFile;
}

std::string CTrackParamsDlg::FileInControl() const
{
    const auto* edit = FindControl<QLineEdit>(this, kTrackFile);
    const std::string text = edit ? FromQString(edit->text()) : std::string();
    return text.empty() ? CTrackSettings().TrackFilePath() : text;
}

void CTrackParamsDlg::OnNewFile()
{
    std::string path = FileInControl();
    const bool picked = g_picker ? g_picker(path) : PickWithFileDialog(path);
    if (!picked || path.empty())
        return;
    if (PathExists(path)) {
        std::string question = Utf8ToCp1257(kAskReplace);
        question.replace(question.find("%1"), 2, path);
        if (AppMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        m_replaced = path;
    }
    if (auto* edit = FindControl<QLineEdit>(this, kTrackFile))
        edit->setText(ToQString(path));
}

void CTrackParamsDlg::OnClearFile()
{
    const std::string path = FileInControl();
    if (PathExists(path) && AppMessageBox(kAskClear, MB_YESNO | MB_ICONQUESTION) == IDYES)
        m_context.Recorder().ClearTrackFile(path);
}

void CTrackParamsDlg::OnStatistics()
{
    const CLayer track(std::string(), FileInControl(), CLayer::kTrack);
    ShowTrackStatistics(track, this);
}

void CTrackParamsDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    // A file "Naujas..." chose over an existing one is replaced now, not before.
    if (!m_replaced.empty() && EqualPathsNoCase(m_replaced, m_settings.TrackFilePath()))
        CTrackRecorder::InitTrackLayerFile(m_replaced);
    const bool repaint = m_context.Recorder().ApplySettings(m_settings);
    if (CGpsReceiverPort* receiver = m_context.Receiver())
        receiver->Receiver().SetWriteToLog(m_writeToLog != 0);
    if (repaint)
        if (CMainFrameCore* core = GetMainFrameCore())
            core->InvalidateMapViews();
    EndDialog(IDOK);
}
