// Prints, after the usual console output, one line per filter: its time and
// its peer's time, each as a multiple of memcpy of the same image in the same
// run. Benchmark names are "memcpy", "<row>" for the filter and
// "<row> | <peer>" for the peer. Each figure is the least CPU time over the
// repetitions, memcpy's included (it runs first and last).
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class PeerTableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  struct Row {
    double ours = 0;
    std::string peer;
    double peerTime = 0;
  };
  double memcpyTime_ = 0;
  std::vector<std::string> rowOrder_;
  std::map<std::string, Row> rows_;
};
