#include "res/AcceleratorTable.h"

#include "res/CommandIds.h"

namespace {

constexpr Accelerator kMain[] = {
    {"Ctrl+O", kCmdFileOpen},
};

constexpr Accelerator kMap[] = {
    {"Ctrl+O", kCmdFileOpen},
    {"Ctrl+P", kCmdFilePrint},
    {"Ctrl+F6", kCmdWindowNext},
    {"Ctrl+G", 30340},
    {"Del", 30209},
};

constexpr Accelerator kTable[] = {
    {"Ctrl+O", kCmdFileOpen},
    {"Ctrl+P", kCmdFilePrint},
    {"Ctrl+F6", kCmdWindowNext},
};

} // namespace

std::span<const Accelerator> FindAccelerators(int id)
{
    switch (id) {
    case 128:
        return kMain;
    case 130:
        return kTable;
    case 138:
        return kMap;
    default:
        return {};
    }
}
