#include "core/CoordConverter.h"

#include "core/MapGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace {

struct Ellipsoid {
    double a; // semi-major axis, m
    double b; // semi-minor axis, m
    double e2; // squared eccentricity
};

constexpr Ellipsoid MakeEllipsoid(double a, double b)
{
    return Ellipsoid{a, b, 1 - b * b / (a * a)};
}

// Every grid of the system is on this ellipsoid.
constexpr Ellipsoid kGrs = MakeEllipsoid(6378137, 6356752.314);

constexpr double kCentralMeridian24 = 0.4188790204786391; // 24 degrees in radians
constexpr double kFalseEasting = 500000;
constexpr double kTmScale = 0.9998;
constexpr double kTmInverseScale = 1.0002000400080016;
constexpr double kTm96Scale = 0.9996;
constexpr double kTm96InverseScale = 1.0004001600640255;
constexpr double kUtmScale = 0.9996;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The series below are the short ones the stored grid coordinates were
// made with; a more exact series would move existing data.
double MeridianArc(double phi)
{
    const double e2 = kGrs.e2, e4 = e2 * e2, e6 = e4 * e2;
    return kGrs.a * ((1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256) * phi -
                     (3.0 / 8) * (e2 + e4 / 4 + 15 * e6 / 128) * std::sin(2 * phi) +
                     (15.0 / 256) * (e4 + 3 * e6 / 4) * std::sin(4 * phi) - (35.0 / 3072) * e6 * std::sin(6 * phi));
}

double MeridianRadius(double phi)
{
    const double s = std::sin(phi);
    return kGrs.a * (1 - kGrs.e2) / std::pow(1 - kGrs.e2 * s * s, 1.5);
}

// Longitude difference to the central meridian and latitude (radians) to
// grid x and y before scaling.
void TmForward(double dl, double phi, double& x, double& y)
{
    const double s = std::sin(phi);
    const double n = kGrs.a / std::sqrt(1 - kGrs.e2 * s * s);
    const double tanPhi = std::tan(phi);
    const double t = tanPhi * tanPhi;
    const double a = dl * std::cos(phi);
    x = n * a * (1 + (1 - t) * a * a / 6);
    y = MeridianArc(phi) + n * a * dl * s * (0.5 + (5 - t) * a * a / 24);
}

void TmInverse(double x, double y, double& dl, double& phi)
{
    const double phi0 = y / kGrs.b;
    const double arcError = MeridianArc(phi0) - y;
    const double phi1 = phi0 - arcError / MeridianRadius(phi0);
    // The correction of phi0 once more, with the radius at phi1.
    const double foot = phi0 - arcError / MeridianRadius(phi1);
    const double s = std::sin(foot);
    const double n = kGrs.a / std::sqrt(1 - kGrs.e2 * s * s);
    const double tanFoot = std::tan(foot);
    const double t = tanFoot * tanFoot;
    const double r = MeridianRadius(foot);
    const double x2 = x * x;
    phi = foot - x2 * (1 - x2 * (3 * t + 5) / (12 * n * n)) * tanFoot / (2 * r * n);
    dl = (1 - x2 * (2 * t + 1) / (6 * n * n)) * x / (n * std::cos(foot));
}

void GeoToTm(CMapPoint& p, double scale)
{
    double x = 0, y = 0;
    TmForward(p.x * kDegToRad - kCentralMeridian24, p.y * kDegToRad, x, y);
    p = CMapPoint(x * scale + kFalseEasting, y * scale);
}

void TmToGeo(CMapPoint& p, double inverseScale)
{
    double dl = 0, phi = 0;
    TmInverse((p.x - kFalseEasting) * inverseScale, p.y * inverseScale, dl, phi);
    p = CMapPoint(24 + dl * kRadToDeg, phi * kRadToDeg);
}

void GeoToUtm(CMapPoint& p)
{
    if (!std::isfinite(p.x)) {
        p = CMapPoint(kNaN, kNaN);
        return;
    }
    // The standard zones, west of Greenwich and past 180 degrees as well:
    // z runs from -29 to 30 and the zone number is 30 + z.
    double lon = std::remainder(p.x, 360.0);
    if (lon >= 180)
        lon -= 360;
    const int z = static_cast<int>(std::floor(lon / 6)) + 1;
    const double centralMeridian = (z - 0.5) * 6;
    double x = 0, y = 0;
    TmForward(lon * kDegToRad - centralMeridian * kDegToRad, p.y * kDegToRad, x, y);
    p = CMapPoint(z * 1000000.0 + 30500000 + x * kUtmScale, y * kUtmScale);
}

void UtmToGeo(CMapPoint& p)
{
    const double zone = std::trunc(p.x / 1000000);
    if (!(std::fabs(zone) <= 1e6)) {
        p = CMapPoint(kNaN, kNaN);
        return;
    }
    double dl = 0, phi = 0;
    TmInverse((p.x - (zone * 1000000 + 500000)) / kUtmScale, p.y / kUtmScale, dl, phi);
    p = CMapPoint((zone - 30 - 0.5) * 6 + dl * kRadToDeg, phi * kRadToDeg);
}

// The local grid: a similarity transformation of system 1 with these fixed
// constants; the inverse coefficients are the forward ones divided by the
// sum of their squares.
constexpr double kLocalOriginX = 457658.4112, kLocalOriginY = 6198025.7009;
constexpr double kLocalShiftX = 1072.094, kLocalShiftY = -3989.3161;
constexpr double kLocalA = 1.0001513723, kLocalB = -0.0099914081;
constexpr double kLocalInverseA = 0.9997488776513962, kLocalInverseB = -0.009987387220357533;

void TmToLocal(CMapPoint& p)
{
    const double dx = p.x - kLocalOriginX;
    const double dy = p.y - kLocalOriginY;
    p = CMapPoint(kLocalA * dx + kLocalB * dy + kLocalShiftX, kLocalA * dy - kLocalB * dx + kLocalShiftY);
}

void LocalToTm(CMapPoint& p)
{
    const double dx = p.x - kLocalShiftX;
    const double dy = p.y - kLocalShiftY;
    p = CMapPoint(kLocalOriginX + kLocalInverseA * dx - kLocalInverseB * dy,
                  kLocalOriginY + kLocalInverseA * dy + kLocalInverseB * dx);
}

// Steps out of and into geographic degrees.
class CFromGeoStep : public CCoordConverter {};
class CToGeoStep : public CCoordConverter {};

class CGeoToTmStep final : public CFromGeoStep {
public:
    void ConvertPoint(CMapPoint& p) const override { GeoToTm(p, kTmScale); }
};
class CGeoToUtmStep final : public CFromGeoStep {
public:
    void ConvertPoint(CMapPoint& p) const override { GeoToUtm(p); }
};
class CGeoToTm96Step final : public CFromGeoStep {
public:
    void ConvertPoint(CMapPoint& p) const override { GeoToTm(p, kTm96Scale); }
};
class CTmToGeoStep final : public CToGeoStep {
public:
    void ConvertPoint(CMapPoint& p) const override { TmToGeo(p, kTmInverseScale); }
};
class CUtmToGeoStep final : public CToGeoStep {
public:
    void ConvertPoint(CMapPoint& p) const override { UtmToGeo(p); }
};
class CTm96ToGeoStep final : public CToGeoStep {
public:
    void ConvertPoint(CMapPoint& p) const override { TmToGeo(p, kTm96InverseScale); }
};
class CTmToLocalStep final : public CCoordConverter {
public:
    void ConvertPoint(CMapPoint& p) const override { TmToLocal(p); }
};
class CLocalToTmStep final : public CCoordConverter {
public:
    void ConvertPoint(CMapPoint& p) const override { LocalToTm(p); }
};
class CGeoToLocalStep final : public CCoordConverter {
public:
    void ConvertPoint(CMapPoint& p) const override
    {
        GeoToTm(p, kTmScale);
        TmToLocal(p);
    }
};
class CLocalToGeoStep final : public CCoordConverter {
public:
    void ConvertPoint(CMapPoint& p) const override
    {
        LocalToTm(p);
        TmToGeo(p, kTmInverseScale);
    }
};

class CChainedConverter final : public CCoordConverter {
public:
    CChainedConverter(std::unique_ptr<CCoordConverter> first, std::unique_ptr<CCoordConverter> second)
        : m_first(std::move(first)), m_second(std::move(second))
    {
    }
    void ConvertPoint(CMapPoint& p) const override
    {
        m_first->ConvertPoint(p);
        m_second->ConvertPoint(p);
    }

private:
    std::unique_ptr<CCoordConverter> m_first;
    std::unique_ptr<CCoordConverter> m_second;
};

template <class Step>
std::unique_ptr<CCoordConverter> Make()
{
    return std::unique_ptr<CCoordConverter>(new (std::nothrow) Step);
}

std::unique_ptr<CCoordConverter> FromGeo(int to)
{
    switch (to) {
    case kCoordTm:
        return Make<CGeoToTmStep>();
    case kCoordUtm:
        return Make<CGeoToUtmStep>();
    case kCoordTm96:
        return Make<CGeoToTm96Step>();
    case kCoordLocal:
        return Make<CGeoToLocalStep>();
    default:
        return nullptr;
    }
}

std::unique_ptr<CCoordConverter> ToGeo(int from)
{
    switch (from) {
    case kCoordTm:
        return Make<CTmToGeoStep>();
    case kCoordUtm:
        return Make<CUtmToGeoStep>();
    case kCoordTm96:
        return Make<CTm96ToGeoStep>();
    case kCoordLocal:
        return Make<CLocalToGeoStep>();
    default:
        return nullptr;
    }
}

} // namespace

std::unique_ptr<CCoordConverter> CreateCoordConverter(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= kCoordSystemCount || to >= kCoordSystemCount)
        return nullptr;
    if (from == kCoordGeographic)
        return FromGeo(to);
    if (to == kCoordGeographic)
        return ToGeo(from);
    if (from == kCoordTm && to == kCoordLocal)
        return Make<CTmToLocalStep>();
    if (from == kCoordLocal && to == kCoordTm)
        return Make<CLocalToTmStep>();
    auto first = ToGeo(from);
    auto second = FromGeo(to);
    if (!first || !second)
        return nullptr;
    return std::unique_ptr<CCoordConverter>(new (std::nothrow)
                                                CChainedConverter(std::move(first), std::move(second)));
}

double GreatCircleDistanceKm(double lon1, double lat1, double lon2, double lat2)
{
    constexpr double kRadiusKm = 6385.543;
    // Below 0.05 seconds of arc the arc cosine is too near 1 to resolve a
    // distance: measure a step enlarged to that size and scale it back.
    constexpr double kSmallStep = 2.42406840554768e-07;
    constexpr double kEpsilon = 2.220446049250313e-16;
    const auto arc = [](double phi1, double phi2, double dl) {
        const double c = std::cos(phi1) * std::cos(dl) * std::cos(phi2) + std::sin(phi1) * std::sin(phi2);
        // Rounding can carry the cosine just past 1 for nearly equal points.
        return kRadiusKm * std::acos(std::clamp(c, -1.0, 1.0));
    };
    const double phi1 = lat1 * kDegToRad;
    const double phi2 = lat2 * kDegToRad;
    const double dl = (lon2 - lon1) * kDegToRad;
    const double dphi = phi2 - phi1;
    if (std::fabs(dphi) < kSmallStep && std::fabs(dl) < kSmallStep) {
        if (std::fabs(dphi) == std::fabs(dl) && std::fabs(dphi) <= kEpsilon)
            return 0;
        const double f = kSmallStep / std::max(std::fabs(dphi), std::fabs(dl));
        if (!std::isfinite(f))
            return 0;
        return arc(phi1, phi1 + dphi * f, dl * f) / f;
    }
    return arc(phi1, phi2, dl);
}
