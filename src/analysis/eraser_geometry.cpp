#include "analysis/eraser_geometry.h"

#include <algorithm>
#include <cmath>

namespace {

double Length(double x, double y) { return std::sqrt(x * x + y * y); }
double Distance(RealPoint a, RealPoint b) { return Length(a.x - b.x, a.y - b.y); }
bool Same(RealPoint a, RealPoint b) { return a.x == b.x && a.y == b.y; }

// The closed ranges [a1, a2] and [b1, b2] (either order) share no value.
bool Apart(double a1, double a2, double b1, double b2) {
  return std::max(a1, a2) < std::min(b1, b2) || std::max(b1, b2) < std::min(a1, a2);
}

}  // namespace

double PointToSegmentDistance(RealPoint p, RealPoint a, RealPoint b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double squared = dx * dx + dy * dy;
  if (squared < 0.0001) return Distance(p, a);
  double t = ((p.x - a.x) * dx + (p.y - a.y) * dy) / squared;
  if (t < 0 || t > 1) return std::min(Distance(p, a), Distance(p, b));
  return std::fabs(dx * (p.y - a.y) - dy * (p.x - a.x)) / std::sqrt(squared);
}

int SegmentsIntersect(RealPoint s1, RealPoint s2, RealPoint e1, RealPoint e2) {
  if (Apart(s1.x, s2.x, e1.x, e2.x) || Apart(s1.y, s2.y, e1.y, e2.y)) return 0;
  double d = (e2.y - e1.y) * (s2.x - s1.x) - (s2.y - s1.y) * (e2.x - e1.x);
  if (std::fabs(d) < 0.0001) return 0;
  double ua = ((e2.x - e1.x) * (s1.y - e1.y) - (e2.y - e1.y) * (s1.x - e1.x)) / d;
  double ub = ((s2.x - s1.x) * (s1.y - e1.y) - (s2.y - s1.y) * (s1.x - e1.x)) / d;
  return ua >= 0 && ua <= 1 && ub >= 0 && ub <= 1;
}

double SegmentDistance(RealPoint s1, RealPoint s2, RealPoint e1, RealPoint e2) {
  if (Same(e1, e2)) return PointToSegmentDistance(e1, s1, s2);
  if (Same(s1, s2)) return PointToSegmentDistance(s1, e1, e2);
  if (SegmentsIntersect(s1, s2, e1, e2)) return 0;
  return std::min({PointToSegmentDistance(s1, e1, e2), PointToSegmentDistance(s2, e1, e2),
                   PointToSegmentDistance(e1, s1, s2), PointToSegmentDistance(e2, s1, s2)});
}

int EraserReaches(RealPoint s1, RealPoint s2, RealPoint e1, RealPoint e2) {
  return SegmentDistance(s1, s2, e1, e2) <= kEraserReach;
}
