#pragma once
// The search both shrinking texts and shrinking groups of texts make: the largest scale on a
// 0.01 grid, at or above a minimum, at which something fits.
#include <cmath>

namespace korvel::ui {

// In hundredths: the largest h in [ceil(minimum * 100), 99] with fits(h), where fits(100) is
// known to be false and fits only gets truer as the scale shrinks; the minimum's h when even
// that does not fit (the caller then draws cut at the minimum).
template <class Fits>
int largestFittingScale(double minimum, Fits&& fits) {
  int lo = static_cast<int>(std::ceil(minimum * 100 - 1e-9));
  int hi = 100;
  if (!fits(lo)) return lo;
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    (fits(mid) ? lo : hi) = mid;
  }
  return lo;
}

}  // namespace korvel::ui
