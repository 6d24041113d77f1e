#pragma once

#include "core/system/RuntimeError.h"

#include <fstream>
#include <iterator>
#include <string>

// The bytes of a script under tests/data, by its name without ".sqf".
inline std::string scriptFile(const std::string& name) {
  std::ifstream in(QUILLFORT_TEST_DATA "/" + name + ".sqf", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// RuntimeError's number and description, or what was made instead.
template <class Work> std::string failure(Work work) {
  try {
    return "made " + std::to_string(work().size());
  } catch (const RuntimeError& e) {
    return std::to_string(e.number) + ' ' + e.description;
  }
}
