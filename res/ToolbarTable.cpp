#include "res/ToolbarTable.h"

#include "res/CommandIds.h"

#include <algorithm>
#include <iterator>

namespace {

// The main toolbar. The main frame removes save, page setup, print
// preview, zoom to layer and redraw from it after loading.
constexpr int kMainButtons[] = {
    kCmdFileOpen, kCmdFileSave, 0, kCmdFilePrint, kCmdFilePrintPreview, 30091, 0, 30065, 30063, 30064, 30057, 30059,
    0,            30027,        30021, 30339,     30018,                30336,
};

constexpr ToolbarResource kToolbars[] = {
    {128, kMainButtons},
};

} // namespace

const ToolbarResource* FindToolbarResource(int id)
{
    auto it = std::find_if(std::begin(kToolbars), std::end(kToolbars),
                           [id](const ToolbarResource& t) { return t.id == id; });
    return it == std::end(kToolbars) ? nullptr : &*it;
}
