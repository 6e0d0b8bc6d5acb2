#pragma once

#include "routing/RouteMatrix.h"

// Path costs between stops: row = from, column = to. INT_MAX means no path,
// on the diagonal too.
class CCostMatrix : public CRouteMatrix<int> {
public:
    // Every cell; returns the row count.
    int Fill(int value);
};
