#pragma once

#include "core/PolygonSet.h"

#include <functional>
#include <vector>

// The union of many polygon sets, pairwise in a tree so that every union
// joins sets of about equal size, the sets taken in the order of their
// places along a Z curve so that the early unions join neighbours. The
// sets are used up. afterEach runs after every union and stops the work by
// returning false. False, result unchanged, when stopped or when a union
// could not be computed; no sets give the empty result.
bool UnitePolygonSets(std::vector<CPolygonSet>& sets, CPolygonSet& result,
                      const std::function<bool()>& afterEach = {});
