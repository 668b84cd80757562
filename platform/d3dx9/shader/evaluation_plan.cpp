#include "d3dx9/shader/evaluation_plan.h"

#include "d3d9/pixel_shader_program.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <iterator>
#include <cstddef>

namespace swd3dx {

namespace {

using Colours = swd3d::ShaderColours;
using Live = std::bitset<kMostRegisters>;

// The byte offset of channel `channel` (0 r, 1 g, 2 b, 3 a) of block `block`.
std::uint32_t lanesOf(int block, int channel) {
  static constexpr std::size_t kChannels[4] = {offsetof(Colours, r), offsetof(Colours, g),
                                               offsetof(Colours, b), offsetof(Colours, a)};
  return static_cast<std::uint32_t>(block * sizeof(Colours) + kChannels[channel]);
}

std::uint32_t home(Register r) { return lanesOf(r / 4, r % 4); }

bool isRegister(Register r) { return r < kMostRegisters; }

enum class Take : std::uint8_t { Run, Skip, SampleTexCoord };

// The operations a fused pair is made of.
bool fuses(Op op) { return op == Op::Add || op == Op::Sub || op == Op::Mul || op == Op::Mad; }

// A tex2D at the interpolated coordinates themselves, and coordinate loads
// nothing else reads.
std::vector<Take> howEachIsTaken(const RegisterProgram& program) {
  std::vector<Take> takes(program.code.size(), Take::Run);
  std::vector<int> writer(kMostRegisters, -1);
  std::vector<bool> read(program.code.size(), false);
  const auto isLoad = [&](Register r, Op op) {
    return isRegister(r) && writer[r] >= 0 && program.code[writer[r]].op == op;
  };
  for (std::size_t at = 0; at < program.code.size(); ++at) {
    const Instruction& ins = program.code[at];
    if (ins.op == Op::Sample && isLoad(ins.src[0], Op::TexCoordU) &&
        isLoad(ins.src[1], Op::TexCoordV)) {
      takes[at] = Take::SampleTexCoord;
    } else {
      for (int k = 0; k < sourceCount(ins.op); ++k) {
        if (isRegister(ins.src[k]) && writer[ins.src[k]] >= 0) read[writer[ins.src[k]]] = true;
      }
    }
    for (const Register d : ins.dst) {
      if (isRegister(d)) writer[d] = static_cast<int>(at);
    }
  }
  for (const Register r : program.output) {
    if (isRegister(r) && writer[r] >= 0) read[writer[r]] = true;
  }
  for (std::size_t at = 0; at < program.code.size(); ++at) {
    const Op op = program.code[at].op;
    if ((op == Op::TexCoordU || op == Op::TexCoordV) && !read[at]) takes[at] = Take::Skip;
  }
  return takes;
}

// The registers each instruction leaves for later ones to read.
std::vector<Live> liveAfterEach(const RegisterProgram& program, const std::vector<Take>& takes) {
  std::vector<Live> after(program.code.size());
  Live live;
  for (const Register r : program.output) {
    if (isRegister(r)) live.set(r);
  }
  for (std::size_t at = program.code.size(); at-- > 0;) {
    after[at] = live;
    if (takes[at] == Take::Skip) continue;
    const Instruction& ins = program.code[at];
    for (const Register d : ins.dst) {
      if (isRegister(d)) live.reset(d);
    }
    if (takes[at] == Take::SampleTexCoord) continue;
    for (int k = 0; k < sourceCount(ins.op); ++k) {
      if (isRegister(ins.src[k])) live.set(ins.src[k]);
    }
  }
  return after;
}

}  // namespace

EvaluationPlan::EvaluationPlan(const RegisterProgram& program) {
  const std::vector<Take> takes = howEachIsTaken(program);
  const std::vector<Live> liveAfter = liveAfterEach(program, takes);
  // Where each register's value is now, and which tex2D block holds it.
  std::array<std::uint32_t, kMostRegisters> location;
  std::array<int, kMostRegisters> inBlock;
  for (int r = 0; r < kMostRegisters; ++r) {
    location[r] = home(static_cast<Register>(r));
    inBlock[r] = -1;
  }
  const auto at = [&](Register r) { return isRegister(r) ? location[r] : 0u; };
  // The last write of each result register goes into the result (for a
  // register the result takes twice, into the first of its channels).
  std::array<int, kMostRegisters> lastWriter;
  lastWriter.fill(-1);
  for (std::size_t i = 0; i < program.code.size(); ++i) {
    for (const Register d : program.code[i].dst) {
      if (isRegister(d) && takes[i] != Take::Skip) lastWriter[d] = static_cast<int>(i);
    }
  }
  std::array<int, kMostRegisters> resultChannel;
  resultChannel.fill(-1);
  for (int k = 3; k >= 0; --k) {
    if (isRegister(program.output[k])) resultChannel[program.output[k]] = k;
  }
  // Where instruction i's single result goes, and is then read from.
  const auto placeResult = [&](std::size_t i, Register d) {
    const bool last = lastWriter[d] == static_cast<int>(i) && resultChannel[d] >= 0;
    location[d] = last ? kInResult | lanesOf(0, resultChannel[d]) : home(d);
    inBlock[d] = -1;
    return location[d];
  };
  int previous = -1;  // the instruction of the last step, when it may fuse
  for (std::size_t i = 0; i < program.code.size(); ++i) {
    if (takes[i] == Take::Skip) continue;
    const Instruction& ins = program.code[i];
    if (ins.op == Op::Constant && isRegister(ins.dst[0])) {
      // Read from the plan's constants, one array a value.
      std::size_t slot = 0;
      while (slot < constants.size() &&
             std::memcmp(&constants[slot].lanes[0], &ins.constant, sizeof(float)) != 0) {
        ++slot;
      }
      if (slot == constants.size()) {
        constants.emplace_back();
        std::fill(std::begin(constants.back().lanes), std::end(constants.back().lanes), ins.constant);
      }
      location[ins.dst[0]] = kInConstants | static_cast<std::uint32_t>(slot * sizeof(ConstantLanes));
      inBlock[ins.dst[0]] = -1;
      previous = -1;
      continue;
    }
    if (previous >= 0 && fuses(ins.op)) {
      const Register t = program.code[previous].dst[0];
      int reads = 0;
      int where = 0;
      for (int k = 0; k < sourceCount(ins.op); ++k) {
        if (ins.src[k] == t) {
          ++reads;
          where = k;
        }
      }
      if (reads == 1 && (ins.dst[0] == t || !liveAfter[i].test(t)) && isRegister(ins.dst[0])) {
        Step& first = steps.back();
        first.fused = true;
        first.second = ins.op;
        first.intermediateAt = static_cast<std::uint8_t>(where);
        for (int k = 0; k < 3; ++k) first.secondSrc[k] = at(ins.src[k]);
        first.dst = placeResult(i, ins.dst[0]);
        previous = -1;
        continue;
      }
    }
    previous = fuses(ins.op) && isRegister(ins.dst[0]) ? static_cast<int>(i) : -1;
    Step step;
    step.op = ins.op;
    step.stage = ins.stage;
    step.constant = ins.constant;
    step.uniform = ins.uniform;
    for (int k = 0; k < 3; ++k) step.src[k] = at(ins.src[k]);
    if (ins.op == Op::Diffuse) readsDiffuse = true;
    if (ins.op == Op::TexCoordU || ins.op == Op::TexCoordV) readsTexCoordArrays = true;
    if (ins.op != Op::Sample) {
      // (A result without a register lands in the spare block, unread.)
      step.dst = isRegister(ins.dst[0]) ? placeResult(i, ins.dst[0]) : lanesOf(kSpareBlock, 0);
      steps.push_back(step);
      continue;
    }
    step.atTexCoord = takes[i] == Take::SampleTexCoord;
    // A block is free when nothing later reads what it holds; this lookup's
    // own coordinates must not be overwritten while it reads them.
    Live overwritten;
    for (const Register d : ins.dst) {
      if (isRegister(d)) overwritten.set(d);
    }
    std::bitset<kSampleBlocks> busy;
    for (int r = 0; r < kMostRegisters; ++r) {
      if (inBlock[r] >= 0 && liveAfter[i].test(r) && !overwritten.test(r)) busy.set(inBlock[r]);
    }
    for (int k = 0; k < 2 && !step.atTexCoord; ++k) {
      if (isRegister(ins.src[k]) && inBlock[ins.src[k]] >= 0) busy.set(inBlock[ins.src[k]]);
    }
    int block = 0;
    while (block < kSampleBlocks && busy.test(block)) ++block;
    const bool spare = block == kSampleBlocks;
    step.block = static_cast<std::uint8_t>(spare ? kSpareBlock : kRegisterBlocks + block);
    for (int k = 0; k < 4; ++k) {
      const Register d = ins.dst[k];
      if (!isRegister(d)) continue;
      if (spare) {
        step.copyTo[k] = home(d);
        location[d] = home(d);
        inBlock[d] = -1;
      } else {
        location[d] = lanesOf(step.block, k);
        inBlock[d] = block;
      }
    }
    steps.push_back(step);
  }
  for (int k = 0; k < 4; ++k) output[k] = at(program.output[k]);
}

}  // namespace swd3dx
