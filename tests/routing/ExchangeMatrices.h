#pragma once

// Small cost matrices and the graph files the exchange with the stop-order
// solver writes for them.

#include "tests/routing/TourTestMatrices.h"

#include <climits>

// Symmetric, with no way between stops 1 and 3.
inline const TestMatrix kSymmetric = MatrixFromRows(
    {{INT_MAX, 5, 7, 2}, {5, INT_MAX, 3, INT_MAX}, {7, 3, INT_MAX, 4}, {2, INT_MAX, 4, INT_MAX}});
// Asymmetric, 2 -> 1 forbidden.
inline const TestMatrix kAsymmetric3 = MatrixFromRows({{INT_MAX, 4, 9}, {6, INT_MAX, 2}, {1, INT_MAX, INT_MAX}});
// Asymmetric, with forbidden ways in the start column, the end column and
// from the end back to the start.
inline const TestMatrix kAsymmetric4 = MatrixFromRows(
    {{INT_MAX, 3, 8, INT_MAX}, {INT_MAX, INT_MAX, 2, 6}, {5, 4, INT_MAX, 1}, {INT_MAX, 7, INT_MAX, INT_MAX}});

// kSymmetric closed, and open from 0 to 3 (the dummy node 4 joins them).
inline constexpr char kSymmetricClosedGraph[] = "4 5\n0 1 5\n0 2 7\n0 3 2\n1 2 3\n2 3 4\n";
inline constexpr char kSymmetricOpenGraph[] = "5 7\n4 0 0\n4 3 0\n0 1 5\n0 2 7\n0 3 2\n1 2 3\n2 3 4\n";
// kAsymmetric3 closed and kAsymmetric4 open from 0 to 3, three nodes a stop.
inline constexpr char kAsymmetric3ClosedGraph[] =
    "9 11\n0 4 4\n0 5 9\n0 6 0\n6 3 0\n1 3 6\n1 5 2\n1 7 0\n7 4 0\n2 3 1\n2 8 0\n8 5 0\n";
inline constexpr char kAsymmetric4OpenGraph[] =
    "12 16\n0 5 3\n0 6 8\n0 8 0\n8 4 0\n1 6 2\n1 7 6\n1 9 0\n9 5 0\n"
    "2 5 4\n2 7 1\n2 10 0\n10 6 0\n3 4 0\n3 5 7\n3 11 0\n11 7 0\n";
