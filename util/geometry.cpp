#include "util/geometry.h"

#include <cmath>

namespace {
constexpr long double kPi = 3.141592653589793238462643383279502884L;
}

double Distance(double x1, double y1, double x2, double y2) noexcept {
  const long double dx = static_cast<long double>(x2) - x1;
  const long double dy = static_cast<long double>(y2) - y1;
  return static_cast<double>(std::sqrt(dx * dx + dy * dy));
}

namespace {

void TurnBy(long double c, long double s, double px, double py, double cx, double cy, double& outX,
            double& outY) noexcept {
  const long double dx = static_cast<long double>(px) - cx;
  const long double dy = static_cast<long double>(py) - cy;
  outX = static_cast<double>(cx + c * dx - s * dy);
  outY = static_cast<double>(cy + s * dx + c * dy);
}

double DegreesToRadians(double degrees) {
  return static_cast<double>(static_cast<long double>(degrees) / 180.0L * kPi);
}

}  // namespace

void RotatePoint(double px, double py, double cx, double cy, double angle, double& outX,
                 double& outY) noexcept {
  const auto radians = static_cast<long double>(angle);
  TurnBy(std::cos(radians), std::sin(radians), px, py, cx, cy, outX, outY);
}

void RotatePointDeg(double px, double py, double cx, double cy, double degrees, double& outX,
                    double& outY) noexcept {
  RotatePoint(px, py, cx, cy, DegreesToRadians(degrees), outX, outY);
}

PointRotation::PointRotation(double degrees) noexcept {
  const auto radians = static_cast<long double>(DegreesToRadians(degrees));
  cos_ = std::cos(radians);
  sin_ = std::sin(radians);
}

void PointRotation::Turn(double px, double py, double cx, double cy, double& outX,
                         double& outY) const noexcept {
  TurnBy(cos_, sin_, px, py, cx, cy, outX, outY);
}
