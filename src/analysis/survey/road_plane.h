#pragma once
// The road as a plane seen through the camera: four points of the picture
// with their places on the road in metres give the homography between the
// two. Picture points are in the 320 x 240 picture as the window shows it
// (X right, Y down, pixel i covering i .. i + 1); road points are U across the
// road and V along it.
#include <array>
#include <optional>
#include <string>

namespace analysis::survey {

struct PicturePoint {
    double x = 0, y = 0;
};

struct RoadPoint {
    double u = 0, v = 0;
};

struct CalibrationPoint {
    PicturePoint picture;
    RoadPoint road;
};

constexpr int calibrationPoints = 4;
constexpr double pictureWidth = 320;
constexpr double pictureHeight = 240;

class RoadPlane {
public:
    // The plane of four points; empty, with the reason in `failure`, when
    // they do not make one (three on one line, a point outside the picture).
    static std::optional<RoadPlane> fromPoints(const std::array<CalibrationPoint, calibrationPoints>& points,
                                               std::string& failure);

    // Where a picture point lies on the road; empty above the horizon.
    std::optional<RoadPoint> toRoad(PicturePoint point) const;
    // Where a road point is seen; empty behind the camera.
    std::optional<PicturePoint> toPicture(RoadPoint point) const;

    // The road point below the camera, found by taking the camera as one
    // with square pixels and its axis through the middle of the picture:
    // what a point above the road is seen against grows away from it.
    RoadPoint cameraFoot() const { return cameraFoot_; }
    // The same plane with the camera's foot as measured on the road: a
    // camera whose axis is not through the middle of the picture (a crop)
    // is not found from the four points alone.
    RoadPlane withCameraFoot(RoadPoint foot) const;

private:
    using Matrix = std::array<double, 9>;  // row by row, picture = H * road
    RoadPlane(const Matrix& toPicture, const Matrix& toRoad);
    RoadPoint estimateCameraFoot() const;

    Matrix toPicture_;
    Matrix toRoad_;
    RoadPoint cameraFoot_;
};

// "X,Y,U,V" as the calibration key and option take it; false when it is not
// four numbers separated by commas.
bool parseCalibrationPoint(const std::string& text, CalibrationPoint& point);
// "U,V" as the camera foot's key and option take it.
bool parseRoadPoint(const std::string& text, RoadPoint& point);

}  // namespace analysis::survey
