// Prints, after the usual console output, every benchmark's time as a ratio to
// the memcpy benchmark of the same run: one row per benchmark family, one
// column per radius (or one figure for a family without radii). Each figure
// is the least CPU time over its repetitions, memcpy's included (it runs first
// and last).
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioTableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  static constexpr int kNoRadius = -1;
  double memcpyTime_ = 0;
  std::vector<std::string> rowOrder_;
  std::vector<int> radii_;
  std::map<std::string, std::map<int, double>> times_;  // row -> radius -> time
};
