#pragma once

#include <QString>

#include <cstddef>
#include <string_view>

// Texts between Qt and the core, which carries them as UTF-16: the same
// units either way, nothing decoded or checked.

// A copy of the core's text as a QString.
inline QString toQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A view of a QString's characters for the core; valid while the QString
// lives unchanged.
inline std::u16string_view u16View(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}
