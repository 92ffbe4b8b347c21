#pragma once
// The scene's clock rules: how far the explosion has progressed and how far the
// sphere has turned, t seconds after the first frame. Both are pure functions
// of t, so a frame can be evaluated at any time in any order.

namespace vantrel {

// One explosion cycle: the sphere holds whole, bursts, then gathers again.
inline constexpr double kHoldSeconds = 1.0;    // s, whole sphere at the start of each cycle
inline constexpr double kBurstSeconds = 12.0;  // s, progress rising linearly to the peak
inline constexpr double kGatherSeconds = 4.0;  // s, progress falling linearly back to 0
inline constexpr double kCycleSeconds = kHoldSeconds + kBurstSeconds + kGatherSeconds;  // s, 17
inline constexpr double kPeakProgress = 0.1;  // fraction of the explosion's full range

// Explosion progress at `seconds` (>= 0) since the first frame: 0 to
// kPeakProgress, 0 meaning the sphere is whole.
double explode_progress(double seconds);

// Spin angle at `seconds` since the first frame, for a rate in degrees per
// second: degrees about +Y, right-handed (a positive angle carries the +Z side,
// the one facing the viewer, towards +X, the viewer's right). Reduced to
// (-360, 360) so that long runs keep full float precision.
double spin_degrees(double rate_degrees_per_second, double seconds);

}  // namespace vantrel
