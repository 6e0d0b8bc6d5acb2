#pragma once

#include <vector>

class CLayer;
class QComboBox;
class QGridLayout;
class QLabel;
class QWidget;

// A row of a layer operation's dialog: the label (with its own id when not
// 0) and, beside it to the grid's right edge, a combo of the id.
QComboBox* AddComboRow(QWidget* dialog, QGridLayout* grid, int id, const char* label, int labelId = 0,
                       QLabel** madeLabel = nullptr);

// The layers' names as the combo's items.
void AddLayerItems(QComboBox* combo, const std::vector<CLayer*>& layers);
