#include "gps/widgets/GpsInstall.h"

#include "gps/GpsContext.h"
#include "gps/GpsReceiverPort.h"
#include "gps/widgets/GpsLayerPPFiler.h"
#include "gps/widgets/GpsSettingsDialogs.h"
#include "gps/widgets/GpsWindows.h"
#include "gps/widgets/PortParamsDlg.h"
#include "gps/widgets/TrackParamsDlg.h"
#include "gps/widgets/TrackStatisticsDlg.h"
#include "layers/Layer.h"
#include "mapdoc/DocCommands.h"
#include "platform/CommandState.h"
#include "platform/UserServices.h"
#include "shell/CommandRegistry.h"
#include "shell/MainToolbars.h"
#include "shell/ReplaySpeed.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"
#include "shell/widgets/MapFrame.h"

#include <QApplication>

#include <memory>

namespace {

enum GpsCommand : int {
    kCmdTimeCorrection = 30208,
    kCmdShowStatus = 30306,
    kCmdPortParams = 30307,
    kCmdTrackParams = 30416,
    kCmdTrackStatistics = 30417,
    kCmdReplaySource = 30418,
    kCmdFirstReplaySpeed = 30419,
    kCmdReplayPause = 30424,
    kCmdReplayContinue = 30425,
    kCmdReplayClose = 30426,
    kCmdReplayRewind = 30428,
    kCmdReplayLoop = 30429,
    kCmdReplayPrevious = 30615,
    kCmdReplayNext = 30616,
    kCmdReplayLast = 30617,
    kCmdShowTerminal = 30636,
};

constexpr int kChooseTrackLayer = 1119;

std::unique_ptr<CGpsContext> g_context;

// The windows outlive the contexts; the main window owns what they make.
CGpsWindows& Windows()
{
    static CGpsWindows windows([]() -> QWidget* {
        CDrelApp* app = CDrelApp::Instance();
        return app ? app->GetMainFrame() : nullptr;
    });
    return windows;
}

CSerialPort* ReceiverSerialPort()
{
    CGpsContext* gps = GetGpsContext();
    CGpsReceiverPort* receiver = gps ? gps->Receiver() : nullptr;
    return receiver ? &receiver->Receiver() : nullptr;
}

// When a replay command may run.
enum class ReplayState { kShown, kPlaying, kPaused };

bool IsInState(const CTrackReplay& replay, ReplayState state)
{
    switch (state) {
    case ReplayState::kShown:
        return replay.IsLoaded() || replay.IsShown();
    case ReplayState::kPlaying:
        return replay.IsLoaded() && replay.IsRunning();
    case ReplayState::kPaused:
        return replay.IsLoaded() && !replay.IsRunning();
    }
    return false;
}

void AddGpsWindowCommands(CMainFrame& frame, CCommandTable& c)
{
    c.On(kCmdShowStatus, [] { Windows().Show(!Windows().IsVisible()); });
    c.OnUpdate(kCmdShowStatus, [](CCommandState& s) {
        const IGpsReceiverPort* port = GetGpsReceiverPort();
        CGpsContext* gps = GetGpsContext();
        s.Enable((port && port->IsOpen()) || (gps && gps->Replay().IsLoaded()));
        s.SetCheck(Windows().IsVisible() ? 1 : 0);
    });
    c.On(kCmdShowTerminal, [] { Windows().ToggleTerminal(ReceiverSerialPort()); });
    c.OnUpdate(kCmdShowTerminal, [](CCommandState& s) {
        s.Enable(true);
        s.SetCheck(Windows().IsTerminalVisible() ? 1 : 0);
    });
    c.On(kCmdPortParams, [&frame] {
        CSerialPort* port = ReceiverSerialPort();
        if (!port)
            return;
        ConfigureSerialPort(*port, &frame);
        if (port->IsOpen())
            frame.Core().UnsetFix();
    });
    c.OnUpdate(kCmdPortParams, [](CCommandState& s) { s.Enable(ReceiverSerialPort() != nullptr); });
    c.On(kCmdTimeCorrection, [&frame] {
        CTimeCorrectionDlg dialog(frame.Core().GetTimeCorrection(), &frame);
        if (dialog.DoModal() != IDOK)
            return;
        frame.Core().SetTimeCorrection(dialog.GetHours());
        Windows().RefreshFix();
    });
    c.OnUpdate(kCmdTimeCorrection, [](CCommandState& s) { s.Enable(true); });
}

void AddMainFrameCommands(CMainFrame& frame, CCommandTable& c)
{
    AddGpsWindowCommands(frame, c);
    c.On(kCmdTrackParams, [&frame] {
        if (CGpsContext* gps = GetGpsContext()) {
            CTrackParamsDlg dialog(*gps, &frame);
            dialog.DoModal();
        }
    });

    struct ReplayCommand {
        int id;
        void (CTrackReplay::*run)();
        ReplayState state;
    };
    static constexpr ReplayCommand kReplayCommands[] = {
        {kCmdReplayClose, &CTrackReplay::Close, ReplayState::kShown},
        {kCmdReplayPause, &CTrackReplay::Stop, ReplayState::kPlaying},
        {kCmdReplayContinue, &CTrackReplay::Start, ReplayState::kPaused},
        {kCmdReplayRewind, &CTrackReplay::Rewind, ReplayState::kPaused},
        {kCmdReplayNext, &CTrackReplay::Next, ReplayState::kPaused},
        {kCmdReplayPrevious, &CTrackReplay::Previous, ReplayState::kPaused},
        {kCmdReplayLast, &CTrackReplay::Last, ReplayState::kPaused},
    };
    for (const ReplayCommand& command : kReplayCommands) {
        c.On(command.id, [run = command.run] {
            if (CGpsContext* gps = GetGpsContext())
                (gps->Replay().*run)();
        });
        c.OnUpdate(command.id, [state = command.state](CCommandState& s) {
            CGpsContext* gps = GetGpsContext();
            s.Enable(gps && IsInState(gps->Replay(), state));
        });
    }
    c.On(kCmdReplayLoop, [] {
        if (CGpsContext* gps = GetGpsContext())
            gps->Replay().SetLoop(!gps->Replay().GetLoop());
    });
    c.OnUpdate(kCmdReplayLoop, [](CCommandState& s) {
        CGpsContext* gps = GetGpsContext();
        s.Enable(gps != nullptr);
        s.SetCheck(gps && gps->Replay().GetLoop() ? 1 : 0);
    });
}

void AddMapFrameCommands(CMapFrame& frame, CCommandTable& c)
{
    c.On(kCmdTrackStatistics, [&frame] {
        const CLayer* layer = frame.GetActiveLayer();
        if (layer && layer->GetType() == CLayer::kTrack && !layer->HasFlag(CLayer::kGroup))
            ShowTrackStatistics(*layer, &frame);
        else
            AppMessageBox(kChooseTrackLayer, MB_OK | MB_ICONINFORMATION);
    });
    c.OnUpdate(kCmdTrackStatistics, [](CCommandState& s) { s.Enable(true); });
    c.On(kCmdReplaySource, [&frame] {
        if (CGpsContext* gps = GetGpsContext())
            RunReplayDialog(*gps, frame.GetActiveLayer(), &frame);
    });
    c.OnUpdate(kCmdReplaySource, [](CCommandState& s) { s.Enable(GetGpsContext() != nullptr); });
    for (int i = 0; i < kReplaySpeedCount; ++i) {
        const int factor = kReplaySpeedFactors[i];
        c.On(kCmdFirstReplaySpeed + i, [factor] {
            if (CGpsContext* gps = GetGpsContext())
                gps->Replay().SetSpeedFactor(factor);
            MainToolbars().UpdateReplaySpeed();
        });
        c.OnUpdate(kCmdFirstReplaySpeed + i, [factor](CCommandState& s) {
            CGpsContext* gps = GetGpsContext();
            s.Enable(gps != nullptr);
            s.SetRadio(gps && gps->Replay().GetSpeedFactor() == factor);
        });
    }
}

void InstallTrackFileServices()
{
    CDocCommandServices& services = CMapFrame::Hooks().frame.services;
    services.trackFileHasRecords = [] {
        CGpsContext* gps = GetGpsContext();
        return gps && gps->Recorder().TrackFileHasRecords();
    };
    services.copyTrackFile = [](const std::string& path) {
        CGpsContext* gps = GetGpsContext();
        return gps && gps->Recorder().CopyTrackFile(path);
    };
    services.clearTrackFile = [] {
        if (CGpsContext* gps = GetGpsContext())
            gps->Recorder().ClearTrackFile();
    };
    services.currentTrackFile = [] {
        CGpsContext* gps = GetGpsContext();
        return gps ? gps->Recorder().GetTrackFileName() : std::string();
    };
}

void InstallGpsDialogs()
{
    CMapFrame::Hooks().frame.document.gpsSaveParams = [](CDrelDoc& document, std::string& layerName) {
        auto makeLayer = [](CDrelDoc& map) {
            const CMapFrameDialogs& hooks = CMapFrame::Hooks().frame;
            return CDocCommands(map, hooks.document, hooks.services).CreateWaypointsLayer({}, {});
        };
        CDlgGpsSaveParams dialog(document, layerName, makeLayer, QApplication::activeWindow());
        if (dialog.DoModal() != IDOK)
            return false;
        layerName = dialog.GetLayerName();
        return true;
    };
    LayerSheetHooks().trackFilterPage = [](CLayerPropSheet& sheet) {
        return std::make_unique<CGpsLayerPPFiler>(sheet);
    };
}

} // namespace

void InstallGps(CGpsReceiverPort& receiver)
{
    // The new context takes over before the old one goes.
    auto context = std::make_unique<CGpsContext>(&receiver);
    SetGpsContext(context.get());
    SetGpsHooks(context.get());
    SetMapGpsPainter(context.get());
    g_context = std::move(context);
    g_context->SetStatusWindow(&Windows());
    g_context->SetTerminalWindow(&Windows());
    InstallTrackFileServices();
    InstallGpsDialogs();

    static bool registered = false;
    if (registered)
        return;
    registered = true;
    CCommandRegistry<CMainFrame>::Instance().Add(AddMainFrameCommands);
    CCommandRegistry<CMapFrame>::Instance().Add(AddMapFrameCommands);
}
