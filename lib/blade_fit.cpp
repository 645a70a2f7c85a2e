// The blade's surfaces: cubic B-splines interpolating the definition at the
// Greville abscissae of their knots, the knots refined until the definition
// lies within the tolerance of them on a dense sample.
//
// Three parameters span the faces: t, the foil's own parameter (so that the
// chord direction follows the foil's knots and is exact where the map is
// affine), r/R, and w across the section from the face (-1) to the back
// (+1). Faces that meet share the knots of their common direction and
// interpolate the same data along it, so their boundaries are one curve.
#include <algorithm>
#include <functional>
#include <cmath>
#include <string>

#include "bspline/exact.h"
#include "lib/blade.h"

namespace tarvelo {

namespace {

enum Var { kT = 0, kR = 1, kW = 2 };

// Samples per knot interval, where the error is looked for: interpolation
// errors peak once between neighbouring sites, and this many points per
// interval find each peak to within a few percent.
constexpr int kDirectionSamples = 6;
constexpr int kDenseSamples = 8;
// The largest samples of each face climbed to their peaks, and how finely.
constexpr std::size_t kPeaks = 24;
constexpr int kClimbHalvings = 12;
// Each direction is refined until its own error is at most this share of
// the tolerance, so that both together stay within it.
constexpr double kDirectionShare = 1.0 / 3;
constexpr int kMostRounds = 12;
// More control points than this in one direction means a tolerance the
// double precision of the data cannot hold.
constexpr int kMostSurfacePoints = 4000;

// One parameter's knots: its base breakpoints (the foil's knots, the
// table's rows, or -1 and 1), each interval cut into equal pieces.
struct Direction {
  std::vector<double> breaks;
  std::vector<int> pieces;

  std::vector<double> Knots() const {
    std::vector<double> k(3, breaks.front());
    for (std::size_t b = 0; b + 1 < breaks.size(); ++b)
      for (int q = 0; q < pieces[b]; ++q) k.push_back(breaks[b] + (breaks[b + 1] - breaks[b]) * q / pieces[b]);
    k.insert(k.end(), 4, breaks.back());
    return k;
  }
};

// The Greville abscissae: each control point's average of its three inner knots.
std::vector<double> Sites(const std::vector<double>& knots) {
  std::vector<double> s;
  for (std::size_t i = 0; i + 4 < knots.size(); ++i) s.push_back((knots[i + 1] + knots[i + 2] + knots[i + 3]) / 3);
  s.front() = knots.front();
  s.back() = knots.back();
  return s;
}

// Points of every knot interval, `per` of them from its start, and the end;
// with the base interval each lies in.
struct Samples {
  std::vector<double> at;
  std::vector<std::size_t> base;
};

Samples Dense(const Direction& d, int per) {
  Samples s;
  for (std::size_t b = 0; b + 1 < d.breaks.size(); ++b)
    for (int q = 0; q < d.pieces[b] * per; ++q) {
      s.at.push_back(d.breaks[b] + (d.breaks[b + 1] - d.breaks[b]) * q / (d.pieces[b] * per));
      s.base.push_back(b);
    }
  s.at.push_back(d.breaks.back());
  s.base.push_back(d.breaks.size() - 2);
  return s;
}

std::size_t BaseOf(const Direction& d, double v) {
  const auto above = std::upper_bound(d.breaks.begin() + 1, d.breaks.end() - 1, v);
  return static_cast<std::size_t>(above - d.breaks.begin()) - 1;
}

// The collocation matrix of a cubic spline at its Greville abscissae, in
// band form, factored by Gaussian elimination without pivoting: the matrix
// is totally positive, for which that is stable (de Boor).
class Interpolation {
 public:
  explicit Interpolation(const std::vector<double>& knots) : knots_(knots), sites_(Sites(knots)) {
    n_ = static_cast<int>(sites_.size());
    band_.assign(static_cast<std::size_t>(n_) * kWidth, 0.0);
    for (int i = 0; i < n_; ++i) {
      const ExactBasis b = ExactBasisAt(knots_, n_, sites_[static_cast<std::size_t>(i)]);
      for (int r = 0; r < kCubicOrder; ++r) At(i, b.ii - kCubicOrder + r) = b.cubic[r];
    }
    for (int k = 0; k < n_; ++k)
      for (int i = k + 1; i < std::min(n_, k + kHalf + 1); ++i) {
        const double f = At(i, k) / At(k, k);
        At(i, k) = f;
        for (int j = k + 1; j < std::min(n_, k + kHalf + 1); ++j) At(i, j) -= f * At(k, j);
      }
  }
  const std::vector<double>& sites() const { return sites_; }
  const std::vector<double>& knots() const { return knots_; }
  int count() const { return n_; }

  // Solves in place for points v[0], v[stride], ...
  void Solve(std::array<double, 3>* v, std::size_t stride) const {
    const auto x = [&](int i) -> std::array<double, 3>& { return v[static_cast<std::size_t>(i) * stride]; };
    for (int i = 1; i < n_; ++i)
      for (int k = std::max(0, i - kHalf); k < i; ++k)
        for (int c = 0; c < 3; ++c) x(i)[c] -= At(i, k) * x(k)[c];
    for (int i = n_; i-- > 0;) {
      for (int j = i + 1; j < std::min(n_, i + kHalf + 1); ++j)
        for (int c = 0; c < 3; ++c) x(i)[c] -= At(i, j) * x(j)[c];
      for (int c = 0; c < 3; ++c) x(i)[c] /= At(i, i);
    }
  }

 private:
  static constexpr int kHalf = 3;
  static constexpr int kWidth = 2 * kHalf + 1;
  double& At(int i, int j) { return band_[static_cast<std::size_t>(i) * kWidth + static_cast<std::size_t>(j - i + kHalf)]; }
  double At(int i, int j) const {
    return band_[static_cast<std::size_t>(i) * kWidth + static_cast<std::size_t>(j - i + kHalf)];
  }
  std::vector<double> knots_;
  std::vector<double> sites_;
  int n_ = 0;
  std::vector<double> band_;
};

// A face: which parameters run along u and v, and the value of the third.
struct FaceKind {
  const char* name;
  Var u, v;
  double fixed;
};

// The definition on a grid of the face's parameters, u fastest.
std::vector<std::array<double, 3>> Definition(const BladeShape& shape, const FaceKind& face,
                                              const std::vector<double>& us, const std::vector<double>& vs) {
  const auto values = [&](Var var) -> std::vector<double> {
    if (face.u == var) return us;
    if (face.v == var) return vs;
    return {face.fixed};
  };
  std::vector<Station> stations;
  for (double r : values(kR)) stations.push_back(shape.At(r));
  std::vector<FoilPoint> foil;
  for (double t : values(kT)) foil.push_back(shape.Foil(t));
  const std::vector<double> ws = values(kW);
  std::vector<std::array<double, 3>> out;
  out.reserve(us.size() * vs.size());
  for (std::size_t j = 0; j < vs.size(); ++j)
    for (std::size_t i = 0; i < us.size(); ++i) {
      const auto pick = [&](Var var) { return face.u == var ? i : face.v == var ? j : 0; };
      out.push_back(shape.Point(stations[pick(kR)], foil[pick(kT)], ws[pick(kW)]));
    }
  return out;
}

// The basis of each sample: its span and four values.
std::vector<ExactBasis> Bases(const Interpolation& in, const std::vector<double>& at) {
  std::vector<ExactBasis> b;
  for (double v : at) b.push_back(ExactBasisAt(in.knots(), in.count(), v));
  return b;
}

struct Fitted {
  const FaceKind* kind;
  const Interpolation* u;
  const Interpolation* v;
  std::vector<std::array<double, 3>> poles;  // u fastest

  std::array<double, 3> At(const ExactBasis& bu, const ExactBasis& bv) const {
    std::array<double, 3> p{0, 0, 0};
    for (int b = 0; b < kCubicOrder; ++b) {
      std::array<double, 3> row{0, 0, 0};
      const auto j = static_cast<std::size_t>(bv.ii - kCubicOrder + b);
      for (int a = 0; a < kCubicOrder; ++a) {
        const auto i = static_cast<std::size_t>(bu.ii - kCubicOrder + a);
        const std::array<double, 3>& q = poles[j * static_cast<std::size_t>(u->count()) + i];
        for (int c = 0; c < 3; ++c) row[c] += bu.cubic[a] * q[c];
      }
      for (int c = 0; c < 3; ++c) p[c] += bv.cubic[b] * row[c];
    }
    return p;
  }
};

Fitted FitFace(const BladeShape& shape, const FaceKind& kind, const Interpolation& u, const Interpolation& v) {
  Fitted f{&kind, &u, &v, Definition(shape, kind, u.sites(), v.sites())};
  const auto nu = static_cast<std::size_t>(u.count());
  for (std::size_t j = 0; j < static_cast<std::size_t>(v.count()); ++j) u.Solve(&f.poles[j * nu], 1);
  for (std::size_t i = 0; i < nu; ++i) v.Solve(&f.poles[i], nu);
  return f;
}

double Distance(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// The largest distance between face and definition on the grid us x vs,
// and where; `note` is told each sample's distance with its indices.
template <class Note>
void Compare(const BladeShape& shape, const Fitted& f, const std::vector<double>& us, const std::vector<double>& vs,
             Note note) {
  const std::vector<std::array<double, 3>> want = Definition(shape, *f.kind, us, vs);
  const std::vector<ExactBasis> bu = Bases(*f.u, us), bv = Bases(*f.v, vs);
  for (std::size_t j = 0; j < vs.size(); ++j)
    for (std::size_t i = 0; i < us.size(); ++i) note(i, j, Distance(f.At(bu[i], bv[j]), want[j * us.size() + i]));
}

// The deviation at one point of a face.
double ErrorAt(const BladeShape& shape, const Fitted& f, double u, double v) {
  double e = 0;
  Compare(shape, f, {u}, {v}, [&](std::size_t, std::size_t, double d) { e = d; });
  return e;
}

struct Peak {
  double u, v, e;
};

// The top of the deviation's hill from (u, v): a pattern search, each step
// to the best of the eight neighbours, the steps halved where none is
// higher, within the face's parameter rectangle.
Peak Climb(const BladeShape& shape, const Fitted& f, double u, double v, double du, double dv) {
  const double u0 = f.u->knots().front(), u1 = f.u->knots().back();
  const double v0 = f.v->knots().front(), v1 = f.v->knots().back();
  Peak best{u, v, ErrorAt(shape, f, u, v)};
  for (int halvings = 0; halvings < kClimbHalvings;) {
    Peak next = best;
    for (int a = -1; a <= 1; ++a)
      for (int b = -1; b <= 1; ++b) {
        if (a == 0 && b == 0) continue;
        const double pu = std::clamp(best.u + a * du, u0, u1), pv = std::clamp(best.v + b * dv, v0, v1);
        const double e = ErrorAt(shape, f, pu, pv);
        if (e > next.e) next = {pu, pv, e};
      }
    if (next.e > best.e) {
      best = next;
    } else {
      du /= 2;
      dv /= 2;
      ++halvings;
    }
  }
  return best;
}

BladeSurface SurfaceOf(const Fitted& f) {
  BladeSurface s;
  s.name = f.kind->name;
  s.knots_u = f.u->knots();
  s.knots_v = f.v->knots();
  s.count_u = f.u->count();
  s.count_v = f.v->count();
  s.poles = f.poles;
  return s;
}

}  // namespace

FittedSurfaces FitBladeSurfaces(const BladeShape& shape, double tolerance) {
  const FoilPoint le = shape.Foil(0), te = shape.Foil(1);
  std::vector<FaceKind> kinds = {{"back", kT, kR, 1}, {"face", kT, kR, -1}, {"root", kT, kW, shape.root()}};
  if (shape.At(shape.tip()).chord > 0) kinds.push_back({"tip", kT, kW, shape.tip()});
  if (te.thickness != 0) kinds.push_back({"trailing edge", kW, kR, 1});
  if (le.thickness != 0) kinds.push_back({"leading edge", kW, kR, 0});

  std::array<Direction, 3> dirs;
  dirs[kT].breaks = shape.foil_breaks();
  dirs[kR].breaks = shape.radii();
  dirs[kW].breaks = {-1, 1};
  for (Direction& d : dirs) d.pieces.assign(d.breaks.size() - 1, 1);

  const double target = tolerance * kDirectionShare;
  for (int round = 0; round < kMostRounds; ++round) {
    std::array<Interpolation, 3> in = {Interpolation(dirs[kT].Knots()), Interpolation(dirs[kR].Knots()),
                                       Interpolation(dirs[kW].Knots())};
    std::vector<Fitted> fitted;
    for (const FaceKind& k : kinds) fitted.push_back(FitFace(shape, k, in[k.u], in[k.v]));

    // Each direction's own error: along a line of the other direction's
    // sites the surface is the one-way interpolant of the definition.
    std::array<std::vector<double>, 3> worst;
    for (int d = 0; d < 3; ++d) worst[static_cast<std::size_t>(d)].assign(dirs[static_cast<std::size_t>(d)].pieces.size(), 0.0);
    for (const Fitted& f : fitted) {
      const Samples su = Dense(dirs[f.kind->u], kDirectionSamples), sv = Dense(dirs[f.kind->v], kDirectionSamples);
      Compare(shape, f, su.at, f.v->sites(), [&](std::size_t i, std::size_t, double e) {
        double& w = worst[f.kind->u][su.base[i]];
        w = std::max(w, e);
      });
      Compare(shape, f, f.u->sites(), sv.at, [&](std::size_t, std::size_t j, double e) {
        double& w = worst[f.kind->v][sv.base[j]];
        w = std::max(w, e);
      });
    }
    bool refined = false;
    for (int d = 0; d < 3; ++d)
      for (std::size_t b = 0; b < dirs[static_cast<std::size_t>(d)].pieces.size(); ++b) {
        const double e = worst[static_cast<std::size_t>(d)][b];
        if (e <= target) continue;
        int& p = dirs[static_cast<std::size_t>(d)].pieces[b];
        // The error of cubic interpolation falls with the fourth power of
        // the spacing.
        const double grow = std::max(1.5, 1.15 * std::pow(e / target, 0.25));
        p = static_cast<int>(std::ceil(p * std::min(grow, 16.0)));
        refined = true;
      }
    for (const Direction& d : dirs) {
      int n = 3;
      for (int p : d.pieces) n += p;
      if (n > kMostSurfacePoints)
        throw Error(ErrorKind::Usage, "the surfaces would need more than " + std::to_string(kMostSurfacePoints) +
                                          " control points in a direction to come within the tolerance");
    }
    if (refined) continue;

    // Both directions at once, on a dense grid of every face, each of the
    // largest samples then climbed to the peak of its own hill: a sample
    // falls a little short of the peak between two.
    FittedSurfaces out;
    for (const Fitted& f : fitted) {
      const Samples su = Dense(dirs[f.kind->u], kDenseSamples), sv = Dense(dirs[f.kind->v], kDenseSamples);
      std::vector<std::pair<double, std::pair<std::size_t, std::size_t>>> largest;
      Compare(shape, f, su.at, sv.at, [&](std::size_t i, std::size_t j, double e) {
        largest.push_back({e, {i, j}});
      });
      const auto top = largest.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(kPeaks, largest.size()));
      std::partial_sort(largest.begin(), top, largest.end(), std::greater<>());
      for (auto it = largest.begin(); it != top; ++it) {
        const auto [i, j] = it->second;
        const double du = (su.at[std::min(i + 1, su.at.size() - 1)] - su.at[i > 0 ? i - 1 : 0]) / 2;
        const double dv = (sv.at[std::min(j + 1, sv.at.size() - 1)] - sv.at[j > 0 ? j - 1 : 0]) / 2;
        const Peak p = Climb(shape, f, su.at[i], sv.at[j], du, dv);
        if (p.e > out.deviation.deviation || out.deviation.side.empty()) {
          const auto value = [&](Var var) { return f.kind->u == var ? p.u : f.kind->v == var ? p.v : f.kind->fixed; };
          out.deviation = {p.e, value(kR), shape.Foil(value(kT)).x, f.kind->name};
        }
      }
      out.surfaces.push_back(SurfaceOf(f));
    }
    if (out.deviation.deviation <= tolerance) return out;
    // Rare: the two directions' errors add up beyond the tolerance where
    // both peak. Halve the spacing where the worst one is.
    for (int d = 0; d < 3; ++d) {
      Direction& dir = dirs[static_cast<std::size_t>(d)];
      const double at = d == kR ? out.deviation.r : d == kT ? shape.ParameterOf(out.deviation.x) : 0.0;
      dir.pieces[BaseOf(dir, at)] *= 2;
    }
  }
  throw Error(ErrorKind::Usage, "the surfaces do not come within the tolerance after " +
                                    std::to_string(kMostRounds) + " refinements");
}

}  // namespace tarvelo
