#include "util/geometry.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "util/exchange.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTolerance = 1e-12;

struct DistanceCase {
  double x1, y1, x2, y2;
  double expected;
};

TEST(MyFuncGeometry, DistanceStaysFiniteWhereSquaresLeaveTheDoubleRange) {
  const DistanceCase cases[] = {
      {0, 0, 3, 4, 5},
      {3, 4, 0, 0, 5},
      {-1, -1, 2, 3, 5},
      {7.5, -2, 7.5, -2, 0},
      {1e16, 0, 1e16 + 2, 0, 2},
      // The squares of these exceed DBL_MAX or fall below the smallest double.
      {0, 0, 3e200, 4e200, 5e200},
      {-1e200, 1e200, 2e200, -3e200, 5e200},
      {0, 0, DBL_MAX, 0, DBL_MAX},
      {0, 0, 1e200, 1e200, 1e200 * std::numbers::sqrt2},
      {0, 0, 3e-200, 4e-200, 5e-200},
      {1e-300, 0, 0, 1e-300, 1e-300 * std::numbers::sqrt2},
  };
  for (const DistanceCase& c : cases) {
    const double d = Distance(c.x1, c.y1, c.x2, c.y2);
    EXPECT_NEAR(d, c.expected, c.expected * 4 * DBL_EPSILON)
        << "(" << c.x1 << ", " << c.y1 << ") to (" << c.x2 << ", " << c.y2 << ")";
  }
  EXPECT_EQ(Distance(0, 0, 3, 4), 5.0);
  EXPECT_EQ(Distance(0, 0, DBL_MAX, 0), DBL_MAX);
}

struct RotationCase {
  double px, py, cx, cy, angle;
  double x, y;
};

TEST(MyFuncGeometry, RotatePointTurnsCounterClockwiseAboutTheCentre) {
  const RotationCase cases[] = {
      {1, 0, 0, 0, kPi / 2, 0, 1},
      {1, 0, 0, 0, -kPi / 2, 0, -1},
      {1, 0, 0, 0, kPi, -1, 0},
      {1, 0, 0, 0, 2 * kPi, 1, 0},
      {1, 1, 0, 0, kPi / 4, 0, std::numbers::sqrt2},
      {0, 2, 0, 0, kPi / 6, -1, std::sqrt(3.0)},
      {11, -5, 10, -5, kPi / 2, 10, -4},
      {5, 1, 1, 1, -kPi, -3, 1},
      {2, 3, 2, 3, 1.234, 2, 3},
      {1e6 + 1, 1e6, 1e6, 1e6, kPi / 2, 1e6, 1e6 + 1},
  };
  for (const RotationCase& c : cases) {
    double x = NAN;
    double y = NAN;
    RotatePoint(c.px, c.py, c.cx, c.cy, c.angle, x, y);
    const double tolerance = kTolerance * (1 + std::fabs(c.cx) + std::fabs(c.cy));
    EXPECT_NEAR(x, c.x, tolerance) << "(" << c.px << ", " << c.py << ") by " << c.angle;
    EXPECT_NEAR(y, c.y, tolerance) << "(" << c.px << ", " << c.py << ") by " << c.angle;
  }
}

TEST(MyFuncGeometry, RotatePointDegTakesDegrees) {
  const double half = std::numbers::sqrt2 / 2;
  const RotationCase cases[] = {
      {2, 1, 1, 1, 180, 0, 1},
      {0, 5, 0, 0, -90, 5, 0},
      {1, 0, 0, 0, 90, 0, 1},
      {1, 0, 0, 0, -270, 0, 1},
      {1, 0, 0, 0, 45, half, half},
      {3, 0, 0, 0, 30, 1.5 * std::sqrt(3.0), 1.5},
      {1, 0, 0, 0, 360, 1, 0},
      {1, 0, 0, 0, 720, 1, 0},
      {1, 0, 0, 0, -1e-9, 1, -1e-9 * kPi / 180},
      {-4, 7, -4, 7, 33, -4, 7},
  };
  for (const RotationCase& c : cases) {
    double x = NAN;
    double y = NAN;
    RotatePointDeg(c.px, c.py, c.cx, c.cy, c.angle, x, y);
    EXPECT_NEAR(x, c.x, kTolerance) << "(" << c.px << ", " << c.py << ") by " << c.angle;
    EXPECT_NEAR(y, c.y, kTolerance) << "(" << c.px << ", " << c.py << ") by " << c.angle;
  }
  // With extended intermediates, a zero angle gives the point back exactly.
  double x = 0;
  double y = 0;
  RotatePointDeg(0.1, -0.3, 12.7, 8.9, 0, x, y);
  EXPECT_EQ(x, 0.1);
  EXPECT_EQ(y, -0.3);
}

// The join turns every text by one rotation: it must give RotatePointDeg's
// very doubles, or texts at equal keys would change their order.
TEST(MyFuncGeometry, PointRotationGivesRotatePointDegExactly) {
  for (const double degrees : {0.0, -0.0, 30.0, -45.5, 90.0, 123.456789, -1e-9, 1e6}) {
    const PointRotation rotation(degrees);
    for (const double p : {0.0, 0.1, -3.3, 12345.67, 1e-300, -2.5e15}) {
      double expectedX = NAN, expectedY = NAN, x = NAN, y = NAN;
      RotatePointDeg(p, 7.7 - p, 1.25, -0.5, degrees, expectedX, expectedY);
      rotation.Turn(p, 7.7 - p, 1.25, -0.5, x, y);
      EXPECT_EQ(x, expectedX) << p << " by " << degrees;
      EXPECT_EQ(y, expectedY) << p << " by " << degrees;
    }
  }
}

TEST(MyFuncExchange, ExchangeIntegersSwapsValues) {
  std::int32_t a = INT32_MIN;
  std::int32_t b = INT32_MAX;
  ExchangeIntegers(a, b);
  EXPECT_EQ(a, INT32_MAX);
  EXPECT_EQ(b, INT32_MIN);
  ExchangeIntegers(a, a);
  EXPECT_EQ(a, INT32_MAX);
}

TEST(MyFuncExchange, ExchangeRealsSwapsBitPatterns) {
  const std::uint64_t patterns[][2] = {
      {std::bit_cast<std::uint64_t>(1.5), std::bit_cast<std::uint64_t>(-0.0)},
      {0x7FF800000000BEEFu, 0xFFF8000000000001u},  // quiet NaNs with payloads
      {0x7FF0000000000001u, 0x7FF4000000000000u},  // signalling NaNs
      {0x0000000000000001u, 0x7FF0000000000000u},  // smallest subnormal, infinity
  };
  for (const auto& p : patterns) {
    double a = std::bit_cast<double>(p[0]);
    double b = std::bit_cast<double>(p[1]);
    ExchangeReals(a, b);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(a), p[1]);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(b), p[0]);
  }
}

}  // namespace
