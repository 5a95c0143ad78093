#pragma once
// The summary that every benchmark program prints after its runs: one line per
// figure with our value, the straightforward design's value from the same run,
// their ratio and the target.
//
// A figure is a pair of benchmarks named "<figure>/ours" and
// "<figure>/reference" (the reference may be missing). Time figures take the
// median CPU time of the process over the repetitions (the machine may be
// shared, and what counts is the work this program does); value figures (a unit is given) take
// the median of the counter "value".
#include <string>

namespace horalis::bench {

// limit is in nanoseconds for time figures and in the unit otherwise; 0 means
// no limit (the figure is shown for information).
void describeFigure(const std::string& figure, const std::string& target, double limit,
                    const std::string& unit = "");

// A value figure read from the counter of another figure's benchmarks (for
// instance the peak memory of a run whose time is a figure too).
void describeCounterFigure(const std::string& figure, const std::string& source, const std::string& counter,
                           const std::string& target, double limit, const std::string& unit);

// A figure computed from two others: numerator / denominator, for ours and the
// reference alike (for instance the growth of an export for ten times the titles).
void deriveRatio(const std::string& figure, const std::string& numerator, const std::string& denominator,
                 const std::string& target, double limit);

}  // namespace horalis::bench
