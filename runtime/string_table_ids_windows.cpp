#include "string_table_ids.h"

#include <algorithm>

namespace standin {

namespace {

BOOL CALLBACK addBlock(HMODULE, LPCSTR, LPSTR name, LONG_PTR blocks) {
  // String-table blocks are named by number: block n holds ids 16 (n - 1) to 16 n - 1.
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<UINT>*>(blocks)->push_back(
        static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

}  // namespace

std::vector<UINT> stringTableIds(HMODULE module) {
  std::vector<UINT> blocks;
  EnumResourceNamesA(module, MAKEINTRESOURCEA(6) /* RT_STRING */, addBlock,
                     reinterpret_cast<LONG_PTR>(&blocks));
  std::sort(blocks.begin(), blocks.end());
  blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
  std::vector<UINT> ids;
  for (UINT block : blocks) {
    for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
      if (id != 0) ids.push_back(id);
    }
  }
  return ids;
}

}  // namespace standin
