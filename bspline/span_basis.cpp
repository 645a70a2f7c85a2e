#include "bspline/span_basis.h"

namespace tarvelo {

bool SpanBasis::Prepare(int nv, const Array1<double>& tk) {
  if (nv < kOrder || !tk.has(1) || !tk.has(nv + kOrder)) return false;
  nv_ = nv;
  t_.assign(static_cast<std::size_t>(nv + kOrder + 1), 0.0);
  for (int i = 1; i <= nv + kOrder; ++i) {
    t_[static_cast<std::size_t>(i)] = tk(i);
    // Non-decreasing knots give divisors that are 0 or positive; NaN fails too.
    if (i > 1 && !(tk(i) >= tk(i - 1))) return false;
  }
  const auto entries = static_cast<std::size_t>(nv - kOrder + 1) * kDivisorsPerSpan;
  den_.resize(entries);
  keep_.resize(entries);
  double* d = den_.data();
  std::uint64_t* k = keep_.data();
  const double* const t = t_.data();
  for (int ii = kOrder; ii <= nv; ++ii)
    for (int m = 2; m <= kOrder; ++m)
      for (int s = 0; s <= m; ++s) {
        const auto den = static_cast<float>(t[ii + s] - t[ii - m + 1 + s]);
        *d++ = den != 0 ? static_cast<double>(den) : 1.0;
        *k++ = den != 0 ? ~std::uint64_t{0} : 0;
      }
  // In the last span COXD never reads row nv+1, because every divisor that
  // would is 0; a knot vector where one is not is left to COXD to refuse.
  const std::uint64_t* const last = &keep_[static_cast<std::size_t>(nv - kOrder) * kDivisorsPerSpan];
  for (int m = 2; m <= kOrder; ++m)
    if (last[Offset(m) + m] != 0) return false;
  return true;
}

}  // namespace tarvelo
