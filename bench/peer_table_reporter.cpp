#include "peer_table_reporter.h"

#include <algorithm>
#include <cstdio>

namespace {

void keepLeast(double& slot, double time) { slot = slot > 0 ? std::min(slot, time) : time; }

}  // namespace

void PeerTableReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    const bool leastOfRepetitions = run.run_type == Run::RT_Aggregate && run.aggregate_name == "min";
    if ((run.run_type != Run::RT_Iteration && !leastOfRepetitions) || run.error_occurred) continue;
    const std::string name = run.run_name.function_name;
    const double time = run.GetAdjustedCPUTime();
    if (name == "memcpy") {
      keepLeast(memcpyTime_, time);
      continue;
    }
    const auto cut = name.find(" | ");
    const std::string row = name.substr(0, cut);
    if (std::find(rowOrder_.begin(), rowOrder_.end(), row) == rowOrder_.end()) rowOrder_.push_back(row);
    Row& entry = rows_[row];
    if (cut == std::string::npos) {
      keepLeast(entry.ours, time);
    } else {
      entry.peer = name.substr(cut + 3);
      keepLeast(entry.peerTime, time);
    }
  }
}

void PeerTableReporter::Finalize() {
  ConsoleReporter::Finalize();
  if (memcpyTime_ <= 0) return;
  std::printf("\nTime as a multiple of memcpy of the same image (memcpy = %.3f ms)\n\n", memcpyTime_);
  std::printf("%-34s%8s   %-36s%8s\n", "", "Tessaly", "peer", "");
  for (const std::string& name : rowOrder_) {
    const Row& row = rows_[name];
    std::printf("%-34s", name.c_str());
    if (row.ours > 0) std::printf("%8.2f", row.ours / memcpyTime_);
    else std::printf("%8s", "-");
    if (row.peerTime > 0) std::printf("   %-36s%8.2f\n", row.peer.c_str(), row.peerTime / memcpyTime_);
    else std::printf("\n");
  }
  std::fflush(stdout);
}
