#include "tools/demo/DemoTerrain.h"

#include "tools/demo/DemoRandom.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTileSize = CDemoTerrain::kBlock * CDemoTerrain::kTileNodes;
constexpr double kRiverHalfWidth = 9;
constexpr double kValleyDepth = 9;
constexpr double kValleyWidth = 110;

// The hills of one tile of the town's frame.
struct CHill {
    double u, v, height, sigma;
};

void TileHills(uint64_t seed, int64_t tu, int64_t tv, CHill (&hills)[2])
{
    CDemoRandom random = CDemoRandom::At(seed, {40, tu, tv});
    for (CHill& hill : hills) {
        hill.u = (static_cast<double>(tu) + random.Uniform(-0.5, 0.5)) * kTileSize;
        hill.v = (static_cast<double>(tv) + random.Uniform(-0.5, 0.5)) * kTileSize;
        hill.height = random.Chance(0.2) ? -random.Uniform(3, 8) : random.Uniform(6, 28);
        hill.sigma = random.Uniform(250, 650);
    }
}

unsigned char Byte(double value)
{
    return static_cast<unsigned char>(std::min(std::clamp(value, 0.0, 255.0) + 0.5, 255.0));
}

} // namespace

CDemoTerrain::CDemoTerrain(uint64_t seed, const CMapPoint& centre) : m_seed(seed), m_centre(centre)
{
    CDemoRandom random = CDemoRandom::At(seed, {41});
    m_angle = random.Uniform(-0.3, 0.3);
    m_cos = std::cos(m_angle);
    m_sin = std::sin(m_angle);
    const double side = random.Chance(0.5) ? 1 : -1;
    m_riverOffset = side * random.Uniform(1.3, 2.6) * kBlock;
    m_a1 = random.Uniform(80, 120);
    m_l1 = random.Uniform(170, 230);
    m_p1 = random.Uniform(0, 2 * std::numbers::pi);
    m_a2 = random.Uniform(15, 30);
    m_l2 = random.Uniform(60, 90);
    m_p2 = random.Uniform(0, 2 * std::numbers::pi);
    m_baseHeight = random.Uniform(95, 125);
    m_tiltU = random.Uniform(-0.004, 0.004);
    m_tiltV = random.Uniform(-0.004, 0.004);
}

CMapPoint CDemoTerrain::ToMap(double u, double v) const
{
    return CMapPoint(m_centre.x + u * m_cos - v * m_sin, m_centre.y + u * m_sin + v * m_cos);
}

void CDemoTerrain::ToLocal(const CMapPoint& point, double& u, double& v) const
{
    const double dx = point.x - m_centre.x;
    const double dy = point.y - m_centre.y;
    u = dx * m_cos + dy * m_sin;
    v = -dx * m_sin + dy * m_cos;
}

double CDemoTerrain::RiverAt(double u) const
{
    return m_riverOffset + m_a1 * std::sin(u / m_l1 + m_p1) + m_a2 * std::sin(u / m_l2 + m_p2);
}

double CDemoTerrain::DistanceToRiver(double u, double v) const
{
    const double vertical = std::abs(v - RiverAt(u));
    // The river is the graph of a function of u, so no point of it beyond
    // the vertical distance in u can be nearer.
    const double window = std::min(vertical, 400.0);
    double best = vertical;
    for (double du = -window; du <= window; du += 2) {
        const double dv = v - RiverAt(u + du);
        best = std::min(best, std::sqrt(du * du + dv * dv));
    }
    return best;
}

bool CDemoTerrain::NearRiver(double u, double v, double distance) const
{
    const double vertical = std::abs(v - RiverAt(u));
    if (vertical <= distance)
        return true;
    // Nearer than the vertical distance shrunk by the steepest slope the
    // river can have it never comes.
    const double slope = m_a1 / m_l1 + m_a2 / m_l2;
    if (vertical / std::sqrt(1 + slope * slope) > distance)
        return false;
    return DistanceToRiver(u, v) <= distance;
}

double CDemoTerrain::ElevationLocal(double u, double v) const
{
    double height = m_baseHeight + m_tiltU * u + m_tiltV * v;
    const auto tu = static_cast<int64_t>(std::floor(u / kTileSize + 0.5));
    const auto tv = static_cast<int64_t>(std::floor(v / kTileSize + 0.5));
    for (int64_t a = tu - 1; a <= tu + 1; ++a) {
        for (int64_t b = tv - 1; b <= tv + 1; ++b) {
            CHill hills[2];
            TileHills(m_seed, a, b, hills);
            for (const CHill& hill : hills) {
                const double du = u - hill.u, dv = v - hill.v;
                height += hill.height * std::exp(-(du * du + dv * dv) / (2 * hill.sigma * hill.sigma));
            }
        }
    }
    const double fromRiver = v - RiverAt(u);
    height -= kValleyDepth * std::exp(-fromRiver * fromRiver / (2 * kValleyWidth * kValleyWidth));
    return std::max(height, 1.0);
}

double CDemoTerrain::Elevation(const CMapPoint& point) const
{
    double u, v;
    ToLocal(point, u, v);
    return ElevationLocal(u, v);
}

std::vector<unsigned char> CDemoTerrain::ReliefPicture(const CMapRect& area, int width, int height) const
{
    std::vector<unsigned char> rgb;
    if (width <= 0 || height <= 0)
        return rgb;
    const double px = area.Width() / width;
    const double py = area.Height() / height;
    std::vector<double> heights(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int row = 0; row < height; ++row)
        for (int col = 0; col < width; ++col)
            heights[static_cast<size_t>(row) * width + col] =
                Elevation(CMapPoint(area.left + (col + 0.5) * px, area.top - (row + 0.5) * py));
    auto at = [&](int row, int col) {
        row = std::clamp(row, 0, height - 1);
        col = std::clamp(col, 0, width - 1);
        return heights[static_cast<size_t>(row) * width + col];
    };

    // Gentle slopes shaded ten times steeper, so a person sees the hills.
    constexpr double kExaggeration = 10;
    const double light[3] = {-0.5, 0.5, std::sqrt(0.5)}; // from the north-west, 45 degrees up
    rgb.resize(heights.size() * 3);
    for (int row = 0; row < height; ++row) {
        for (int col = 0; col < width; ++col) {
            const double zx = (at(row, col + 1) - at(row, col - 1)) / (2 * px) * kExaggeration;
            const double zy = (at(row - 1, col) - at(row + 1, col)) / (2 * py) * kExaggeration;
            const double norm = std::sqrt(zx * zx + zy * zy + 1);
            const double shade = std::max(0.0, (-zx * light[0] - zy * light[1] + light[2]) / norm);
            // Low meadows green, higher ground the brown of fields.
            const double t = std::clamp((at(row, col) - 85) / 70, 0.0, 1.0);
            const double lit = 0.45 + 0.75 * shade;
            double colour[3] = {(120 + 85 * t) * lit, (165 + 20 * t) * lit, (95 + 50 * t) * lit};
            double u, v;
            ToLocal(CMapPoint(area.left + (col + 0.5) * px, area.top - (row + 0.5) * py), u, v);
            if (NearRiver(u, v, kRiverHalfWidth + std::max(px, py) / 2)) {
                colour[0] = 80;
                colour[1] = 140;
                colour[2] = 210;
            }
            unsigned char* out = rgb.data() + (static_cast<size_t>(row) * width + col) * 3;
            for (int k = 0; k < 3; ++k)
                out[k] = Byte(colour[k]);
        }
    }
    return rgb;
}
