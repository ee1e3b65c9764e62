#include "analysis/survey/road_plane.h"

#include <cmath>
#include <cstdlib>
#include <tuple>
#include <utility>

namespace analysis::survey {
namespace {

using Matrix = std::array<double, 9>;
using Vector = std::array<double, 3>;

// Closer than this to the line through two others (pixels, metres), a
// point adds no direction.
constexpr double leastPictureOffset = 1.0;
constexpr double leastRoadOffset = 0.05;
// Without a usable focal length from the plane, a lens of about 60 degrees
// across the picture.
constexpr double usualFocalLength = 280;

Vector times(const Matrix& m, const Vector& p) {
    return {m[0] * p[0] + m[1] * p[1] + m[2] * p[2], m[3] * p[0] + m[4] * p[1] + m[5] * p[2],
            m[6] * p[0] + m[7] * p[1] + m[8] * p[2]};
}

double offsetFromLine(double ax, double ay, double bx, double by, double px, double py) {
    const double length = std::hypot(bx - ax, by - ay);
    if (length == 0) return 0;
    return std::abs((bx - ax) * (py - ay) - (by - ay) * (px - ax)) / length;
}

// Whether any three of the four lie on one line (within `least`).
template <typename Point, typename Get>
bool threeOnALine(const std::array<Point, calibrationPoints>& points, double least, Get get) {
    for (int skip = 0; skip < calibrationPoints; ++skip) {
        std::array<std::pair<double, double>, 3> three;
        int n = 0;
        for (int i = 0; i < calibrationPoints; ++i) {
            if (i != skip) three[n++] = get(points[i]);
        }
        for (int k = 0; k < 3; ++k) {
            const auto& a = three[k];
            const auto& b = three[(k + 1) % 3];
            const auto& p = three[(k + 2) % 3];
            if (offsetFromLine(a.first, a.second, b.first, b.second, p.first, p.second) < least) return true;
        }
    }
    return false;
}

// The projective map of the unit square's corners (0,0), (1,0), (1,1), (0,1)
// onto four points; false when they make no quadrilateral.
template <typename Get>
bool squareTo(const std::array<CalibrationPoint, calibrationPoints>& points, Get get, Matrix& m) {
    std::array<double, 4> x, y;
    for (int i = 0; i < calibrationPoints; ++i) std::tie(x[i], y[i]) = get(points[i]);
    const double sx = x[0] - x[1] + x[2] - x[3], sy = y[0] - y[1] + y[2] - y[3];
    const double dx1 = x[1] - x[2], dx2 = x[3] - x[2], dy1 = y[1] - y[2], dy2 = y[3] - y[2];
    const double denominator = dx1 * dy2 - dx2 * dy1;
    if (denominator == 0) return false;
    const double g = (sx * dy2 - dx2 * sy) / denominator, h = (dx1 * sy - sx * dy1) / denominator;
    m = {x[1] - x[0] + g * x[1],
         x[3] - x[0] + h * x[3],
         x[0],
         y[1] - y[0] + g * y[1],
         y[3] - y[0] + h * y[3],
         y[0],
         g,
         h,
         1};
    return true;
}

Matrix product(const Matrix& a, const Matrix& b) {
    Matrix result{};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            for (int k = 0; k < 3; ++k) result[r * 3 + c] += a[r * 3 + k] * b[k * 3 + c];
        }
    }
    return result;
}

Matrix inverse(const Matrix& m) {
    const Matrix adjugate{m[4] * m[8] - m[5] * m[7], m[2] * m[7] - m[1] * m[8], m[1] * m[5] - m[2] * m[4],
                          m[5] * m[6] - m[3] * m[8], m[0] * m[8] - m[2] * m[6], m[2] * m[3] - m[0] * m[5],
                          m[3] * m[7] - m[4] * m[6], m[1] * m[6] - m[0] * m[7], m[0] * m[4] - m[1] * m[3]};
    const double determinant = m[0] * adjugate[0] + m[1] * adjugate[3] + m[2] * adjugate[6];
    Matrix result{};
    for (int k = 0; k < 9; ++k) result[k] = adjugate[k] / determinant;
    return result;
}

bool insidePicture(const PicturePoint& p) {
    return p.x >= 0 && p.x <= pictureWidth && p.y >= 0 && p.y <= pictureHeight;
}

}  // namespace

std::optional<RoadPlane> RoadPlane::fromPoints(const std::array<CalibrationPoint, calibrationPoints>& points,
                                               std::string& failure) {
    for (const CalibrationPoint& point : points) {
        if (!insidePicture(point.picture)) {
            failure = "road point outside the 320 x 240 picture";
            return std::nullopt;
        }
    }
    const auto pictureOf = [](const CalibrationPoint& p) { return std::pair{p.picture.x, p.picture.y}; };
    const auto roadOf = [](const CalibrationPoint& p) { return std::pair{p.road.u, p.road.v}; };
    if (threeOnALine(points, leastPictureOffset, pictureOf)) {
        failure = "three road points lie on one line in the picture";
        return std::nullopt;
    }
    if (threeOnALine(points, leastRoadOffset, roadOf)) {
        failure = "three road points lie on one line on the road";
        return std::nullopt;
    }
    Matrix fromSquareToPicture{}, fromSquareToRoad{};
    if (!squareTo(points, pictureOf, fromSquareToPicture) || !squareTo(points, roadOf, fromSquareToRoad)) {
        failure = "the road points give no road plane";
        return std::nullopt;
    }
    Matrix h = product(fromSquareToPicture, inverse(fromSquareToRoad));
    // Every point must be seen from the same side: otherwise the horizon
    // runs between them and U,V and X,Y do not describe one plane.
    int ahead = 0;
    for (const CalibrationPoint& point : points)
        ahead += times(h, {point.road.u, point.road.v, 1})[2] > 0 ? 1 : 0;
    if (ahead != 0 && ahead != calibrationPoints) {
        failure = "the road points do not lie in the same order in the picture as on the road";
        return std::nullopt;
    }
    if (ahead == 0) {
        for (double& entry : h) entry = -entry;
    }
    return RoadPlane(h, inverse(h));
}

RoadPlane::RoadPlane(const Matrix& toPicture, const Matrix& toRoad)
    : toPicture_(toPicture), toRoad_(toRoad), cameraFoot_(estimateCameraFoot()) {}

std::optional<RoadPoint> RoadPlane::toRoad(PicturePoint point) const {
    const Vector road = times(toRoad_, {point.x, point.y, 1});
    if (road[2] <= 1e-12) return std::nullopt;
    return RoadPoint{road[0] / road[2], road[1] / road[2]};
}

std::optional<PicturePoint> RoadPlane::toPicture(RoadPoint point) const {
    const Vector picture = times(toPicture_, {point.u, point.v, 1});
    if (picture[2] <= 1e-12) return std::nullopt;
    return PicturePoint{picture[0] / picture[2], picture[1] / picture[2]};
}

// The plane's homography is K [r1 r2 t] up to scale; with K's axis through
// the middle and square pixels, r1 and r2 being orthogonal and of one length
// give the focal length, and then the camera's place is -R'^T t.
RoadPoint RoadPlane::estimateCameraFoot() const {
    const double cx = pictureWidth / 2, cy = pictureHeight / 2;
    std::array<Vector, 3> column;
    for (int c = 0; c < 3; ++c) {
        const double z = toPicture_[6 + c];
        column[c] = {toPicture_[c] - cx * z, toPicture_[3 + c] - cy * z, z};
    }
    const auto& p1 = column[0];
    const auto& p2 = column[1];
    const double a1 = p1[0] * p2[0] + p1[1] * p2[1], b1 = p1[2] * p2[2];
    const double a2 = p1[0] * p1[0] + p1[1] * p1[1] - p2[0] * p2[0] - p2[1] * p2[1];
    const double b2 = p1[2] * p1[2] - p2[2] * p2[2];
    double inverseSquare = -(a1 * b1 + a2 * b2) / (a1 * a1 + a2 * a2);
    if (!(inverseSquare > 0) || !std::isfinite(inverseSquare))
        inverseSquare = 1 / (usualFocalLength * usualFocalLength);
    const double scale = std::sqrt(inverseSquare);
    for (Vector& c : column) {
        c[0] *= scale;
        c[1] *= scale;
    }
    const auto norm = [](const Vector& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); };
    double lambda = 1 / std::sqrt(norm(column[0]) * norm(column[1]));
    if (column[2][2] < 0) lambda = -lambda;  // the road lies in front of the camera
    const auto dot = [lambda](const Vector& a, const Vector& b) {
        return lambda * lambda * (a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
    };
    return {-dot(column[0], column[2]), -dot(column[1], column[2])};
}

RoadPlane RoadPlane::withCameraFoot(RoadPoint foot) const {
    RoadPlane plane = *this;
    plane.cameraFoot_ = foot;
    return plane;
}

namespace {

// `count` numbers separated by commas, and nothing else.
bool parseNumbers(const std::string& text, double* values, int count) {
    const char* at = text.c_str();
    for (int i = 0; i < count; ++i) {
        char* end = nullptr;
        values[i] = std::strtod(at, &end);
        if (end == at || !std::isfinite(values[i])) return false;
        if (*end != (i + 1 < count ? ',' : '\0')) return false;
        at = end + 1;
    }
    return true;
}

}  // namespace

bool parseCalibrationPoint(const std::string& text, CalibrationPoint& point) {
    double values[4];
    if (!parseNumbers(text, values, 4)) return false;
    point = {{values[0], values[1]}, {values[2], values[3]}};
    return true;
}

bool parseRoadPoint(const std::string& text, RoadPoint& point) {
    double values[2];
    if (!parseNumbers(text, values, 2)) return false;
    point = {values[0], values[1]};
    return true;
}

}  // namespace analysis::survey
