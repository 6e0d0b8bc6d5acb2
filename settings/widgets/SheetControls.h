#pragma once

// The settings pages make their controls as every dialog does.
#include "shell/widgets/DialogControls.h"
