#pragma once
// Helpers every benchmark shares. Figures are printed as `name: value unit` lines, one per figure.

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace marvane::bench {

inline void Print(const char* name, double value, const char* unit) {
  std::printf("%s: %.3f %s\n", name, value, unit);
}

// The middle value: the machines these run on are shared, and the median ignores a run that waited for a core.
inline double Median(std::vector<double> values) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Processor time of the calling thread, which tells the program's own cost apart from time spent waiting.
inline double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

}  // namespace marvane::bench
