#include "search/FindState.h"

CFindState& FindState()
{
    static CFindState state;
    return state;
}
