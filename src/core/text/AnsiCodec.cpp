#include "core/text/AnsiCodec.h"

#include "core/system/RuntimeError.h"
#include "core/text/Utf8.h"

namespace AnsiCodec {

std::string encode(std::u16string_view text, std::string_view where) {
  std::string out;
  out.reserve(text.size());
  std::size_t bad = 0;
  if (detail::encodeInto(text, out, bad))
    return out;

  std::string description = "The character " + Utf8::describe(text, bad) + " in ";
  description += where;
  description += " cannot be written in the code page " + codePageName();
  throw RuntimeError(ErrorNumber::InvalidArgument, description);
}

std::u16string decode(std::string_view bytes) { return detail::decodeBytes(bytes); }

std::string codePageName() { return detail::platformCodePageName(); }

} // namespace AnsiCodec
