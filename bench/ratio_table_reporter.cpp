#include "ratio_table_reporter.h"

#include <algorithm>
#include <cstdio>

// Benchmark names are "memcpy", "<row>/r:<radius>", or "<row>" for a row of
// one figure (printed in the column "x memcpy"). Each figure is the
// least CPU time over the repetitions: on a shared machine the fastest run is
// the one least disturbed, and CPU time leaves out time spent descheduled.
void RatioTableReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    const bool leastOfRepetitions = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
    if ((run.run_type != Run::RT_Iteration && !leastOfRepetitions) || run.error_occurred) continue;
    const std::string name = run.run_name.function_name;
    const double time = run.GetAdjustedCPUTime();
    if (name == "memcpy") {
      memcpyTime_ = memcpyTime_ > 0 ? std::min(memcpyTime_, time) : time;
      continue;
    }
    const auto cut = name.find("/r:");
    const std::string row = name.substr(0, cut);
    const int radius = cut == std::string::npos ? kNoRadius : std::stoi(name.substr(cut + 3));
    if (std::find(rowOrder_.begin(), rowOrder_.end(), row) == rowOrder_.end()) rowOrder_.push_back(row);
    if (std::find(radii_.begin(), radii_.end(), radius) == radii_.end()) radii_.push_back(radius);
    const auto known = times_[row].find(radius);
    times_[row][radius] = known == times_[row].end() ? time : std::min(known->second, time);
  }
}

void RatioTableReporter::Finalize() {
  ConsoleReporter::Finalize();
  if (memcpyTime_ <= 0) return;
  std::sort(radii_.begin(), radii_.end());
  std::printf("\nTime as a multiple of memcpy of the same image (memcpy = %.3f ms)\n\n", memcpyTime_);
  std::printf("%-32s", "");
  for (int r : radii_) std::printf("%10s", r == kNoRadius ? "x memcpy" : ("r=" + std::to_string(r)).c_str());
  std::printf("\n");
  for (const std::string& row : rowOrder_) {
    std::printf("%-32s", row.c_str());
    for (int r : radii_) {
      const auto it = times_[row].find(r);
      if (it == times_[row].end()) std::printf("%10s", "-");
      else std::printf("%10.2f", it->second / memcpyTime_);
    }
    std::printf("\n");
  }
  std::fflush(stdout);
}
