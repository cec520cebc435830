#pragma once

#include <numbers>

// Angles of the round instruments are kept in degrees, as the scales read.
inline double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }
