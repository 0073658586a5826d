// How near the eraser's path comes to a stored pen segment, in image pixels.
// A segment is erased whole when the path passes within the eraser's reach.
#pragma once

#include "viewer/view_geometry.h"

constexpr double kEraserReach = 15.0;

// Distance from `p` to the segment a-b (to a when the segment is shorter than
// a hundredth of a pixel).
double PointToSegmentDistance(RealPoint p, RealPoint a, RealPoint b);
// Whether stored segment s1-s2 crosses eraser path e1-e2; parallel segments
// never do.
int SegmentsIntersect(RealPoint s1, RealPoint s2, RealPoint e1, RealPoint e2);
// Distance between stored segment s1-s2 and eraser path e1-e2.
double SegmentDistance(RealPoint s1, RealPoint s2, RealPoint e1, RealPoint e2);
// The eraser path e1-e2 takes the stored segment s1-s2.
int EraserReaches(RealPoint s1, RealPoint s2, RealPoint e1, RealPoint e2);
