// Sines and cosines of whole multiples of an angle, built by the angle-addition recurrence:
// the periodic series of the sun, the moon and the nutation need many of them per moment.
#pragma once

#include <cmath>

namespace kv {

// Sines and cosines of k·x for k = 0 ... N − 1.
template <int N>
struct AngleMultiples {
  double s[N], c[N];
  explicit AngleMultiples(double x) {
    s[0] = 0, c[0] = 1;
    s[1] = std::sin(x), c[1] = std::cos(x);
    for (int k = 1; k + 1 < N; ++k) {
      s[k + 1] = s[k] * c[1] + c[k] * s[1];
      c[k + 1] = c[k] * c[1] - s[k] * s[1];
    }
  }
  // Adds k·x (k may be negative: the sine's sign flips) to the angle whose sine and cosine are
  // (sa, ca).
  void Add(int k, double& sa, double& ca) const {
    if (k == 0) return;
    int a = k < 0 ? -k : k;
    double sk = k < 0 ? -s[a] : s[a], ck = c[a];
    double ns = sa * ck + ca * sk;
    ca = ca * ck - sa * sk;
    sa = ns;
  }
};

}  // namespace kv
