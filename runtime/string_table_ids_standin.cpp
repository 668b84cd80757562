#include "string_table_ids.h"

namespace standin {

std::vector<UINT> stringTableIds(HMODULE) {
  std::vector<UINT> ids;
  for (UINT id = 1; id <= 65535; ++id) ids.push_back(id);
  return ids;
}

}  // namespace standin
