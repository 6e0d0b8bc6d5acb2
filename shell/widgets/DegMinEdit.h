#pragma once

#include "shell/widgets/CoordEdit.h"

// A coordinate in degrees and decimal minutes: E025°16.7833 or N54°41.2317.
class CDegMinEdit : public CCoordEdit {
public:
    explicit CDegMinEdit(QWidget* parent = nullptr) : CCoordEdit(false, parent) {}
};
