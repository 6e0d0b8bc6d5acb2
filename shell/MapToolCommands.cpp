#include "shell/MapToolCommands.h"

namespace {

constexpr CMapToolCommand kToolCommands[] = {
    {30065, 0},  {30063, 1},  {30064, 2},  {30057, 3},  {30059, 4},  {30056, 5},  {30055, 6},
    {30058, 7},  {30084, 8},  {30037, 9},  {30060, 10}, {30062, 11}, {30012, 12}, {30032, 13},
    {30033, 14}, {30034, 15}, {30094, 16}, {30112, 17}, {30111, 18}, {30119, 19}, {30234, 21},
    {30343, 22}, {30436, 23}, {30623, 24}, {30626, 25}, {30625, 26}, {30624, 27},
};

} // namespace

std::span<const CMapToolCommand> MapToolCommands()
{
    return kToolCommands;
}
