// The system's ANSI code page through the Windows conversion calls.
#include "core/text/AnsiCodec.h"

#include <windows.h>

namespace {

constexpr UINT kUtf8 = 65001;

// WC_NO_BEST_FIT_CHARS keeps Windows from writing a look-alike ("e" for "ě");
// the used-default flag then tells that a character has no byte. Neither may
// be passed when the ANSI code page is UTF-8, which holds every character.
bool convert(std::u16string_view text, std::string* out) {
  if (text.empty())
    return true;
  const UINT cp = GetACP();
  const DWORD flags = cp == kUtf8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
  const int length = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  BOOL* usedDefaultPtr = cp == kUtf8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(cp, flags, wide, length, nullptr, 0, nullptr, usedDefaultPtr);
  if (size <= 0 || usedDefault)
    return false;
  if (out) {
    const std::size_t start = out->size();
    out->resize(start + static_cast<std::size_t>(size));
    WideCharToMultiByte(cp, flags, wide, length, out->data() + start, size, nullptr, nullptr);
  }
  return true;
}

} // namespace

namespace AnsiCodec::detail {

bool encodeInto(std::u16string_view text, std::string& out, std::size_t& badIndex) {
  if (convert(text, &out))
    return true;
  // Find the first character the code page cannot hold, for the message.
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::size_t n = 1;
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size())
      n = 2;
    if (!convert(text.substr(i, n), nullptr)) {
      badIndex = i;
      return false;
    }
    i += n - 1;
  }
  badIndex = 0;
  return false;
}

std::u16string decodeBytes(std::string_view bytes) {
  std::u16string out;
  if (bytes.empty())
    return out;
  const UINT cp = GetACP();
  const int length = static_cast<int>(bytes.size());
  const int size = MultiByteToWideChar(cp, 0, bytes.data(), length, nullptr, 0);
  out.resize(static_cast<std::size_t>(size));
  MultiByteToWideChar(cp, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(out.data()), size);
  return out;
}

std::string platformCodePageName() {
  const UINT cp = GetACP();
  if (cp == 1252)
    return "Windows-1252";
  return "Windows code page " + std::to_string(cp);
}

} // namespace AnsiCodec::detail
