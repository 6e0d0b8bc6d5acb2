#pragma once

#include "shell/widgets/CoordEdit.h"

// A coordinate in degrees, minutes and seconds with tenths:
// E025°16'46.9" or N54°41'13.9".
class CDegMinSecEdit : public CCoordEdit {
public:
    explicit CDegMinSecEdit(QWidget* parent = nullptr) : CCoordEdit(true, parent) {}
};
