#pragma once

#include "settings/LayerListManager.h"

#include <QIcon>

// The small pictures of the layer dialogs' lists, by LayerListImage (a
// group, the kinds of layers, an open group, a filter, the active
// entry); a null icon for kImageNone and unknown indexes.
QIcon LayerListIcon(int image);
