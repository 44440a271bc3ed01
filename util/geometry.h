// Distance and rotation of points; intermediates in long double, results
// rounded to double once.
#pragma once

double Distance(double x1, double y1, double x2, double y2) noexcept;

// Turns (px, py) about (cx, cy) by angle radians, counter-clockwise with the
// y axis up.
void RotatePoint(double px, double py, double cx, double cy, double angle, double& outX,
                 double& outY) noexcept;

// Same with the angle in degrees (degrees / 180 * pi, rounded to a double).
void RotatePointDeg(double px, double py, double cx, double cy, double degrees, double& outX,
                    double& outY) noexcept;

// One angle in degrees, its sine and cosine taken once, for turning many
// points: Turn gives exactly what RotatePointDeg gives for that angle.
class PointRotation {
 public:
  explicit PointRotation(double degrees) noexcept;
  void Turn(double px, double py, double cx, double cy, double& outX, double& outY) const noexcept;

 private:
  long double cos_;
  long double sin_;
};
