#include "search/widgets/SearchDialogs.h"

#include "platform/UserServices.h"
#include "search/PlacemarkEdit.h"
#include "search/widgets/GeoPointDlg.h"
#include "search/widgets/ObjectChoiceDlg.h"
#include "search/widgets/ObjectsAtPointDlg.h"
#include "search/widgets/PlanarPointDlg.h"
#include "search/widgets/PointInfoDlg.h"
#include "search/widgets/PromptDlgs.h"
#include "search/widgets/RecordEditDlg.h"
#include "shell/widgets/DrelApp.h"
#include "shell/widgets/MainFrame.h"

#include <QApplication>

namespace {
ISearchDialogs g_searchDefaults;
IQueryDialogs g_queryDefaults;
ICoordTableDialogs g_coordTableDefaults;

template <class Dialog>
bool AskPoint(CMapPoint& point)
{
    Dialog dialog(QApplication::activeWindow());
    if (dialog.DoModal() != IDOK)
        return false;
    point = dialog.GetPoint();
    return true;
}
} // namespace

ISearchDialogs& CSearchDialogs::SearchBefore()
{
    return m_searchBefore ? *m_searchBefore : g_searchDefaults;
}

IQueryDialogs& CSearchDialogs::QueryBefore()
{
    return m_queryBefore ? *m_queryBefore : g_queryDefaults;
}

int CSearchDialogs::ChooseText(const std::vector<std::string>& texts)
{
    std::vector<CObjectCandidate> candidates;
    for (const std::string& text : texts)
        candidates.push_back({text});
    CObjectChoiceDlg dialog(candidates, QApplication::activeWindow());
    return dialog.DoModal() == IDOK ? dialog.GetChosen() : -1;
}

bool CSearchDialogs::EditPlacemark(CDbfTable& table, CLayer& layer)
{
    return ::EditPlacemark(table, layer,
                           [](CPlacemarkEdit& placemark) { return RunPointInfo(placemark, QApplication::activeWindow()); });
}

bool CSearchDialogs::AskPointCoordinates(CMapPoint& point, bool geographic)
{
    return geographic ? AskPoint<CGeoPointDlg>(point) : AskPoint<CPlanarPointDlg>(point);
}

void CSearchDialogs::ShowObjectsAtPoint(const CMapPoint& point, const std::vector<CObjectHit>& hits, double distance,
                                        CDrelView& view, const CPoint& screen)
{
    // Centred over the main window.
    const CDrelApp* app = CDrelApp::Instance();
    QWidget* owner = app && app->GetMainFrame() ? app->GetMainFrame() : QApplication::activeWindow();
    CObjectsAtPointDlg dialog(point, hits, distance, view, screen, owner);
    dialog.DoModal();
}

int CSearchDialogs::ChooseObject(const std::vector<int32_t>& candidates, const std::vector<std::string>& names,
                                 CLayer& layer, CDrelView& view)
{
    return ::ChooseObject(candidates, names, layer, view);
}

bool CSearchDialogs::EditRecord(CDbfTable& table, CLayer& layer, CDrelDoc& document)
{
    CRecordEditDlg dialog(&table, -1, &document, &layer, QApplication::activeWindow());
    return dialog.DoModal() == IDOK;
}

bool CSearchDialogs::ChooseLayerFile(CLayer& layer)
{
    return QueryBefore().ChooseLayerFile(layer);
}

bool CSearchDialogs::AskCoordinateFields(const CDbfTable& table, const std::string& path, CFieldChoice& choice)
{
    return (m_coordTableBefore ? *m_coordTableBefore : g_coordTableDefaults).AskCoordinateFields(table, path, choice);
}

int CSearchDialogs::AskCoordinateFormat()
{
    return ::AskCoordinateFormat();
}
