#pragma once

#include "gps/TrackSettings.h"
#include "shell/widgets/DialogBase.h"

#include <functional>
#include <string>

class CGpsContext;

// The track parameters (dialog 368 "Trasos parametrai"): saving 1015,
// the trail 1016, the period 1012, distance 1021 and trail length 1022
// lists, the track file 1017, only valid fixes 1065, the receiver's raw
// log 1069. "Naujas..." (1055) picks a new track file, asking before an
// existing one is replaced, which happens only on OK; "Išvalyti" (1056)
// empties the file after asking; "Statistika..." (1089) shows its
// statistics. OK hands the settings to the recorder.
class CTrackParamsDlg : public CDialogBase {
public:
    static constexpr int kDialogId = 368;
    enum ControlId : int {
        kSaveTrack = 1015,
        kShowTrack = 1016,
        kPeriod = 1012,
        kDistance = 1021,
        kTrailLength = 1022,
        kTrackFile = 1017,
        kSkipInvalid = 1065,
        kWriteLog = 1069,
        kNewFile = 1055,
        kClearFile = 1056,
        kStatistics = 1089,
    };
    // The name of a new track file: path comes with the current file and
    // takes the choice; false when cancelled. The chooser does not ask
    // about existing files; the dialog does.
    using FilePicker = std::function<bool(std::string& path)>;

    explicit CTrackParamsDlg(CGpsContext& context, QWidget* parent = nullptr);

    // Null puts back the program's own (a save dialog over track files).
    static void SetFilePicker(FilePicker picker);

    const CTrackSettings& GetSettings() const { return m_settings; }

    void OnNewFile();
    void OnClearFile();
    void OnStatistics();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    std::string FileInControl() const;

    CGpsContext& m_context;
    CTrackSettings m_settings;
    std::string m_trackFile;
    int m_writeToLog = 0;
    // The existing file that "Naujas..." was allowed to replace.
    std::string m_replaced;
};
