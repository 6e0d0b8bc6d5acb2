#pragma once

#include "shell/widgets/DialogBase.h"

#include <functional>
#include <string>

class CDrelDoc;
class CGpsContext;
class CLayer;

// The UTC correction (257 "UTC laiko koregavimas"): list 1012 of "UTC",
// "UTC+01:00" to "UTC+12:00" and "UTC-01:00" to "UTC-12:00".
class CTimeCorrectionDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 257;
    static constexpr int kList = 1012;

    explicit CTimeCorrectionDlg(int hours, QWidget* parent = nullptr);
    int GetHours() const { return m_hours; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    int m_hours;
};

// The source of a replay (30816 "Judėjimo atkūrimas"): the current track
// file (1024) or the active layer (1025, preselected for a track layer).
class CDlgReplay : public CDialogBase {
public:
    static constexpr int kDialogId = 30816;
    enum ControlId : int { kTrackFile = 1024, kActiveLayer = 1025 };

    explicit CDlgReplay(const CLayer* activeLayer, QWidget* parent = nullptr);
    // kTrackFile or kActiveLayer.
    int GetSource() const { return m_source == 0 ? kTrackFile : kActiveLayer; }

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    int m_source;
};

// The dialog, and on OK the replay of its source: the active track layer
// (another layer: message 1119), or the current track file as a track
// layer of its own.
void RunReplayDialog(CGpsContext& context, const CLayer* activeLayer, QWidget* parent = nullptr);

// Where GPS data are saved (354 "GPS duomenų išsaugojimo parametrai"):
// list 1012 of the map's point and track layers, "Sukurti naują..."
// (1055) adding a new waypoints layer.
class CDlgGpsSaveParams : public CDialogBase {
public:
    static constexpr int kDialogId = 354;
    enum ControlId : int { kLayers = 1012, kCreate = 1055 };
    // Makes the new layer in the map; null when it was not made.
    using LayerMaker = std::function<CLayer*(CDrelDoc& document)>;

    CDlgGpsSaveParams(CDrelDoc& document, std::string layerName, LayerMaker makeLayer, QWidget* parent = nullptr);
    const std::string& GetLayerName() const { return m_layerName; }

    void OnCreate();

protected:
    void DoDataExchange(CDataExchange& dx) override;

private:
    CDrelDoc& m_document;
    std::string m_layerName;
    LayerMaker m_makeLayer;
};
