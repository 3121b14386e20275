// Timing helpers shared by the benchmark programs: a stopwatch that reads
// the process's CPU time beside the wall clock, and the median of a few
// runs. The machines these run on are shared, so the CPU time is the figure
// to compare; the wall time shows what waiting (for the disk, for other
// processes) added.
#ifndef TALLYBOOK_BENCH_BENCH_TIMING_H_
#define TALLYBOOK_BENCH_BENCH_TIMING_H_

#include <time.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace tallybook::bench {

struct Spent {
  double wall = 0;  // seconds
  double cpu = 0;   // seconds of this process's CPU time
};

class Stopwatch {
 public:
  Stopwatch() : wall_(std::chrono::steady_clock::now()), cpu_(CpuNow()) {}
  Spent Elapsed() const {
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() -
                                          wall_)
                .count(),
            CpuNow() - cpu_};
  }

 private:
  static double CpuNow() {
    timespec ts{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + ts.tv_nsec / 1e9;
  }

  std::chrono::steady_clock::time_point wall_;
  double cpu_;
};

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Medians of wall and CPU time over the runs, each taken on its own.
inline Spent MedianOf(const std::vector<Spent>& runs) {
  std::vector<double> wall, cpu;
  for (const Spent& s : runs) {
    wall.push_back(s.wall);
    cpu.push_back(s.cpu);
  }
  return {Median(wall), Median(cpu)};
}

inline double Ratio(double a, double b) { return b > 0 ? a / b : 0.0; }

}  // namespace tallybook::bench

#endif  // TALLYBOOK_BENCH_BENCH_TIMING_H_
