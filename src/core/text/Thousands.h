#pragma once

#include <cstddef>
#include <string>

// A number for a message, its thousands parted by commas: "32,767".
inline std::string withThousands(std::size_t n) {
  const std::string digits = std::to_string(n);
  std::string out;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0)
      out += ',';
    out += digits[i];
  }
  return out;
}
