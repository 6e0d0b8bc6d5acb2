#include "platform/WideStroker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

// Runs by row, touching runs joined.
using Runs = std::map<int, std::vector<std::pair<int, int>>>;

void AddRun(Runs& runs, int y, int x0, int x1)
{
    auto& row = runs[y];
    if (!row.empty() && row.back().second == x0)
        row.back().second = x1;
    else
        row.emplace_back(x0, x1);
}

} // namespace

TEST(WideStroker, BandsOfAWideBoxGiveTheRunsOfItsStrips)
{
    // A box this wide is marked a few hundred rows at a time; strips of it
    // narrow enough are marked at once. Either way the runs are the same.
    std::mt19937 random(31);
    std::vector<std::vector<CPoint>> lines(40);
    for (auto& line : lines) {
        CPoint p(static_cast<int>(random() % 100000), static_cast<int>(random() % 700) - 50);
        for (int i = 0; i < 30; ++i) {
            line.push_back(p);
            p.x += static_cast<int>(random() % 4001) - 2000;
            p.y += static_cast<int>(random() % 201) - 100;
        }
    }
    auto stroke = [&](const CRect& box, Runs& runs) {
        CWideStroker stroker(9, CWideStroker::Cap::Square, 0.47, 0.48);
        for (const auto& line : lines)
            stroker.AddFigure(line.data(), line.size(), false);
        int lastY = box.top - 1, lastX = box.left - 1;
        stroker.Stroke(box, [&](int y, int x0, int x1) {
            EXPECT_TRUE(y >= box.top && y < box.bottom && x0 >= box.left && x1 <= box.right && x0 < x1);
            EXPECT_TRUE(y > lastY || (y == lastY && x0 > lastX)) << "runs out of order at " << y;
            lastY = y;
            lastX = x1;
            AddRun(runs, y, x0, x1);
        });
    };
    Runs whole, strips;
    stroke(CRect(0, 0, 100000, 600), whole);
    for (int left = 0; left < 100000; left += 6400)
        stroke(CRect(left, 0, std::min(100000, left + 6400), 600), strips);
    // The strips' runs come row by row per strip; put each row in order.
    for (auto& [y, row] : strips) {
        std::sort(row.begin(), row.end());
        std::vector<std::pair<int, int>> joined;
        for (const auto& run : row)
            if (!joined.empty() && joined.back().second == run.first)
                joined.back().second = run.second;
            else
                joined.push_back(run);
        row = joined;
    }
    EXPECT_GT(whole.size(), 400u);
    EXPECT_EQ(whole, strips);
}
