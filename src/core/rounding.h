#pragma once
// Every "rounded to an integer" of the system rounds halves to even (banker's rounding), independently of the
// floating-point environment.

#include <cmath>
#include <cstdint>

namespace corvatin {

/// Nearest integer to x, ties to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline double RoundHalfEvenD(double x) {
  if (!std::isfinite(x)) return x;
  double f = std::floor(x);
  double diff = x - f;
  if (diff > 0.5) return f + 1.0;
  if (diff < 0.5) return f;
  return std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
}

/// RoundHalfEvenD as a 64-bit integer; values outside the range (and NaN) saturate (NaN gives 0).
inline std::int64_t RoundHalfEven(double x) {
  if (std::isnan(x)) return 0;
  double r = RoundHalfEvenD(x);
  if (r >= 9.2233720368547758e18) return INT64_MAX;
  if (r <= -9.2233720368547758e18) return INT64_MIN;
  return static_cast<std::int64_t>(r);
}

} // namespace corvatin
