#include "geoproc/widgets/LayerComboRow.h"

#include "layers/Layer.h"
#include "platform/QtText.h"
#include "shell/widgets/ControlIds.h"
#include "shell/widgets/DialogControls.h"

#include <QComboBox>
#include <QGridLayout>

QComboBox* AddComboRow(QWidget* dialog, QGridLayout* grid, int id, const char* label, int labelId, QLabel** madeLabel)
{
    auto* combo = WithId(id, new QComboBox(dialog));
    combo->setMinimumWidth(240);
    QLabel* caption = MakeLabel(dialog, labelId, label, combo);
    const int row = grid->rowCount();
    grid->addWidget(caption, row, 0);
    grid->addWidget(combo, row, 1, 1, -1);
    if (madeLabel)
        *madeLabel = caption;
    return combo;
}

void AddLayerItems(QComboBox* combo, const std::vector<CLayer*>& layers)
{
    for (const CLayer* layer : layers)
        combo->addItem(ToQString(layer->GetName()));
}
