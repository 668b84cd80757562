#include "d3dx9/compiler/register_allocation.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <queue>

namespace swd3dx {

std::optional<RegisterProgram> allocateRegisters(const ProgramBuilder& builder,
                                                 const std::array<VirtualRegister, 4>& output) {
  const std::vector<VirtualInstruction>& code = builder.code();
  const int count = builder.registerCount();

  // Backwards from the result: which instructions and values are needed.
  std::vector<bool> live(count, false);
  for (VirtualRegister r : output) live[r] = true;
  std::vector<const VirtualInstruction*> needed;
  for (auto it = code.rbegin(); it != code.rend(); ++it) {
    const bool wanted = std::any_of(it->dst.begin(), it->dst.end(),
                                    [&](VirtualRegister r) { return r >= 0 && live[r]; });
    if (!wanted) continue;
    needed.push_back(&*it);
    for (int k = 0; k < sourceCount(it->op); ++k) live[it->src[k]] = true;
  }
  std::reverse(needed.begin(), needed.end());

  // The last instruction that reads each value; the result is read at the end.
  constexpr int kEnd = std::numeric_limits<int>::max();
  std::vector<int> lastRead(count, -1);
  for (int i = 0; i < static_cast<int>(needed.size()); ++i) {
    for (int k = 0; k < sourceCount(needed[i]->op); ++k) lastRead[needed[i]->src[k]] = i;
  }
  for (VirtualRegister r : output) lastRead[r] = kEnd;

  RegisterProgram program;
  std::vector<Register> physical(count, kNoRegister);
  std::priority_queue<Register, std::vector<Register>, std::greater<>> free;
  int used = 0;
  for (int i = 0; i < static_cast<int>(needed.size()); ++i) {
    const VirtualInstruction& v = *needed[i];
    Instruction instruction;
    instruction.op = v.op;
    instruction.stage = v.stage;
    instruction.constant = v.constant;
    instruction.uniform = v.uniform;
    const int sources = sourceCount(v.op);
    for (int k = 0; k < sources; ++k) instruction.src[k] = physical[v.src[k]];
    // Sources read for the last time free their registers before the
    // results are placed: every operation reads a pixel before it writes it.
    for (int k = 0; k < sources; ++k) {
      const VirtualRegister r = v.src[k];
      const bool repeated = std::find(v.src.begin(), v.src.begin() + k, r) != v.src.begin() + k;
      if (lastRead[r] == i && !repeated) free.push(physical[r]);
    }
    for (int k = 0; k < 4; ++k) {
      const VirtualRegister r = v.dst[k];
      if (r < 0 || !live[r]) continue;
      if (free.empty()) {
        if (used == kMostRegisters) return std::nullopt;
        free.push(static_cast<Register>(used++));
      }
      physical[r] = free.top();
      free.pop();
      instruction.dst[k] = physical[r];
    }
    program.code.push_back(instruction);
  }
  for (int k = 0; k < 4; ++k) program.output[k] = physical[output[k]];
  program.registers = used;
  return program;
}

}  // namespace swd3dx
