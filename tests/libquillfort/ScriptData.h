#pragma once

#include <fstream>
#include <iterator>
#include <string>

// The bytes of a script under tests/data, by its name without ".sqf".
inline std::string scriptFile(const std::string& name) {
  std::ifstream in(QUILLFORT_TEST_DATA "/" + name + ".sqf", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
