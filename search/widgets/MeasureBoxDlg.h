#pragma once

#include "mapdoc/MeasureBoxes.h"
#include "mapdoc/ObjectMeasureBox.h"

#include <QDialog>

#include <functional>
#include <string>

class QLineEdit;

// The small modeless result boxes of the measuring tools, over the map
// view's window (their owner). Each box shows one or two read-only fields
// (1017, 1007) that its setter fills (search/MeasureBoxRules.h); they show
// without taking the focus from the map. A box that ends the measuring
// tool when closed does so through a command posted to the main window,
// which runs after the box's own handler: carrying it out deletes the box.
class CMeasureBoxDlg : public QDialog {
public:
    // Sends a command to the main window later, never at once.
    using PostCommand = std::function<void(int command)>;

    static constexpr int kFirstField = 1017;
    static constexpr int kSecondField = 1007;

    // Shows the box at the top-left corner of its owner.
    void Create();

protected:
    // secondLabel null: one field.
    CMeasureBoxDlg(QWidget& owner, int dialogId, const char* caption, const char* firstLabel,
                   const char* secondLabel);

    void SetTexts(const std::string& first, const std::string& second = {});
    QLineEdit* FirstField() const { return m_first; }

private:
    QLineEdit* m_first;
    QLineEdit* m_second = nullptr;
};

// Box 217 "Atstumas": the last segment and the total; "Išvalyti" (1055)
// clears the distances; closing ends the tool.
class CDistanceDlg : public CMeasureBoxDlg, public IDistanceBox {
public:
    static constexpr int kDialogId = 217;
    static constexpr int kClearButton = 1055;

    CDistanceDlg(QWidget& owner, PostCommand post);
    void SetDistances(double segmentKm, double totalKm) override;

protected:
    void reject() override;

private:
    PostCommand m_post;
};

// Box 30737 "Plotas ir perimetras"; closing ends the tool.
class CAreaPerimeterDlg : public CMeasureBoxDlg, public IAreaPerimeterBox {
public:
    static constexpr int kDialogId = 30737;

    CAreaPerimeterDlg(QWidget& owner, PostCommand post);
    void SetValues(double areaKm2, double perimeterKm) override;

protected:
    void reject() override;

private:
    PostCommand m_post;
};

// Box 30738 "Azimutas": the forward and the back azimuth.
class CAzimuthDlg : public CMeasureBoxDlg, public IAzimuthBox {
public:
    static constexpr int kDialogId = 30738;

    explicit CAzimuthDlg(QWidget& owner);
    void SetAzimuths(double forward, double back) override;
};

// Box 30739 "Objekto plotas": the object's name and area.
class CObjectAreaDlg : public CMeasureBoxDlg, public IObjectMeasureBox {
public:
    static constexpr int kDialogId = 30739;

    explicit CObjectAreaDlg(QWidget& owner);
    void SetArea(const std::string& object, double km2);
    // Shown again when the user closed it.
    void ShowMeasure(const std::string& name, double km2) override;
};

// Box 30740 "Objekto ilgis": the object's name and length.
class CObjectLengthDlg : public CMeasureBoxDlg, public IObjectMeasureBox {
public:
    static constexpr int kDialogId = 30740;

    explicit CObjectLengthDlg(QWidget& owner);
    void SetLength(const std::string& object, double km);
    void ShowMeasure(const std::string& name, double km) override;
};

// Box 30741 "Trumpiausias maršrutas": the route's length.
class CRouteLengthDlg : public CMeasureBoxDlg, public IRouteLengthBox {
public:
    static constexpr int kDialogId = 30741;

    explicit CRouteLengthDlg(QWidget& owner);
    void SetLength(double km) override;
};
