#pragma once

#include "shell/MainFrameBarTable.h"
#include "shell/MainToolbars.h"
#include "shell/ToolbarBoxes.h"
#include "shell/widgets/MainFrame.h"

#include <QFont>
#include <QObject>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class CCustomToolBar;
class CReplaySpeedCombo;
class CToolbarBoxAdapter;
class QAction;

// The twelve toolbars of the main window with their boxes: made in their
// order with the configuration file's switches, docked and floated as the
// window's first layout has them, then the saved layout "TB" applied when
// it names only these bars; saved again when the window closes. The bars
// are also the main window's toolbars for the rest of the program
// (MainToolbars()) and give the window the commands that show them
// (30023, 30014, 30087, 30296, 30356) and the toolbar list (30457).
class CMainFrameBars : public IMainFrameBars, public IMainToolbars, private QObject {
public:
    static constexpr char kLayoutName[] = "TB";
    static constexpr char kSecondLayoutName[] = "General";

    explicit CMainFrameBars(CMainFrame& frame);
    ~CMainFrameBars() override;

    bool CreateBars() override;
    void LoadBarState() override;
    void SaveBarState() override;

    IToolbarBox* FindBox(int id) override;
    void EnableStreetBox(bool on) override;
    void EnableCityList(bool on) override;
    void EnableHouseNumbers(bool on) override;
    void ShowBar(int resourceId, bool show) override;
    bool IsBarVisible(int resourceId) const override;
    void SetAttributeTableBarFlag(bool on) override { m_attributeTableFlag = on; }
    void SetPlaybackBarFlag(bool on) override { m_playbackFlag = on; }
    void UpdateReplaySpeed() override;

    CCustomToolBar* Bar(int resourceId) const;
    // The slot of a box on its bar; null when there is none.
    QAction* BoxSlot(int id) const;
    bool IsAdminBarHidden() const { return m_config.adminHidden != 0; }
    const QFont& GetToolbarFont() const { return m_font; }
    // The bars the toolbar list offers now.
    std::vector<CCustomToolBar*> ToolbarListBars() const;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void MakeBar(const CMainFrameBarInfo& info);
    QWidget* MakeBox(const CToolbarBoxInfo& info, CCustomToolBar& bar);
    void ApplyDockPlan();
    void RegisterCommands();
    void ShowToolbarList();
    void EnableAddressBox(int id, bool on);
    std::vector<std::string> BarNames() const;

    CMainFrame& m_frame;
    CToolbarConfig m_config;
    QFont m_font;
    std::map<int, CCustomToolBar*> m_bars;
    std::map<int, QAction*> m_slots;
    std::map<int, std::unique_ptr<CToolbarBoxAdapter>> m_boxes;
    CReplaySpeedCombo* m_replaySpeed = nullptr;
    bool m_attributeTableFlag = false;
    bool m_playbackFlag = false;
};

// Makes the main window's toolbars through MainFrameHooks(); the program
// calls it before the window is made.
void InstallMainFrameBars();
