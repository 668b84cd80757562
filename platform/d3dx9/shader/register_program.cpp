#include "d3dx9/shader/register_program.h"

namespace swd3dx {

int sourceCount(Op op) {
  if (op <= Op::Diffuse) return 0;
  if (op <= Op::Not) return 1;
  if (op <= Op::Or) return 2;
  if (op == Op::Sample) return 2;
  return 3;
}

}  // namespace swd3dx
