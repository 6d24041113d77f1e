#include "core/import/SqfTokenizer.h"

#include "core/system/RuntimeError.h"

#include <array>

namespace Sqf {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v'; }

// The operators of two characters, tried before those of one.
constexpr std::array<std::string_view, 7> kPairs = {"==", "!=", ">=", "<=", ">>", "&&", "||"};
constexpr std::string_view kSingles = "=!+-*/%^<>:#()[]{};,";

class Tokenizer {
public:
  explicit Tokenizer(std::string_view bytes) : bytes_(bytes) {}

  std::vector<Token> run() {
    while (at_ < bytes_.size()) {
      const char c = bytes_[at_];
      if (c == '\n') {
        newLine(at_ + 1);
        ++at_;
        continue;
      }
      if (isBlank(c)) {
        ++at_;
        continue;
      }
      const std::size_t start = at_;
      const int line = line_, column = static_cast<int>(start - lineStart_) + 1;
      const bool firstOnLine = lineBlank_;
      lineBlank_ = false;
      if (c == '#' && firstOnLine) {
        directive();
      } else if (c == '/' && peek(1) == '/') {
        while (at_ < bytes_.size() && bytes_[at_] != '\n')
          ++at_;
        continue;
      } else if (c == '/' && peek(1) == '*') {
        blockComment(line, column);
        continue;
      } else if (c == '"' || c == '\'') {
        string(c, line, column);
      } else if (isDigit(c) || (c == '.' && isDigit(peek(1))) || (c == '$' && isHexDigit(peek(1)))) {
        number();
      } else if (isLetter(c)) {
        kind_ = TokenKind::Identifier;
        while (at_ < bytes_.size() && (isLetter(bytes_[at_]) || isDigit(bytes_[at_])))
          ++at_;
      } else {
        symbol();
      }
      tokens_.push_back({kind_, bytes_.substr(start, at_ - start), line, column});
      if (kind_ == TokenKind::Directive && tokens_.back().text.ends_with('\r'))
        tokens_.back().text.remove_suffix(1);
    }
    return std::move(tokens_);
  }

private:
  char peek(std::size_t ahead) const { return at_ + ahead < bytes_.size() ? bytes_[at_ + ahead] : '\0'; }
  // A line starts at `start`; inside a string or comment it does not start
  // blank, as what closes them comes first.
  void newLine(std::size_t start, bool blank = true) {
    ++line_;
    lineStart_ = start;
    lineBlank_ = blank;
  }
  [[noreturn]] void neverClosed(int line, int column, const char* what) {
    throw RuntimeError(ErrorNumber::InvalidArgument, "Invalid procedure call or argument: line " +
                                                         std::to_string(line) + ", column " +
                                                         std::to_string(column) + ": " + what +
                                                         " opened here is never closed");
  }

  // To the end of the line; a "\" just before the line end carries it on.
  void directive() {
    kind_ = TokenKind::Directive;
    while (at_ < bytes_.size() && bytes_[at_] != '\n')
      ++at_;
    while (at_ < bytes_.size()) {
      std::size_t last = at_;
      if (last > 0 && bytes_[last - 1] == '\r')
        --last;
      if (last == 0 || bytes_[last - 1] != '\\')
        break;
      newLine(at_ + 1, false);
      ++at_;
      while (at_ < bytes_.size() && bytes_[at_] != '\n')
        ++at_;
    }
  }

  void blockComment(int line, int column) {
    for (at_ += 2; at_ + 1 < bytes_.size(); ++at_) {
      if (bytes_[at_] == '*' && bytes_[at_ + 1] == '/') {
        at_ += 2;
        return;
      }
      if (bytes_[at_] == '\n')
        newLine(at_ + 1, false);
    }
    neverClosed(line, column, "a comment");
  }

  // Up to the closing quote; two quotes of its kind in a row stand for one.
  void string(char quote, int line, int column) {
    kind_ = TokenKind::String;
    for (++at_; at_ < bytes_.size(); ++at_) {
      if (bytes_[at_] == quote) {
        if (peek(1) != quote) {
          ++at_;
          return;
        }
        ++at_;
      } else if (bytes_[at_] == '\n') {
        newLine(at_ + 1, false);
      }
    }
    neverClosed(line, column, "a string");
  }

  void number() {
    kind_ = TokenKind::Number;
    if (bytes_[at_] == '$' ||
        (bytes_[at_] == '0' && (peek(1) == 'x' || peek(1) == 'X') && isHexDigit(peek(2)))) {
      at_ += bytes_[at_] == '$' ? 1 : 2;
      while (at_ < bytes_.size() && isHexDigit(bytes_[at_]))
        ++at_;
      return;
    }
    while (at_ < bytes_.size() && isDigit(bytes_[at_]))
      ++at_;
    if (at_ < bytes_.size() && bytes_[at_] == '.')
      for (++at_; at_ < bytes_.size() && isDigit(bytes_[at_]);)
        ++at_;
    const std::size_t sign = (peek(1) == '+' || peek(1) == '-') ? 1 : 0;
    if (at_ < bytes_.size() && (bytes_[at_] == 'e' || bytes_[at_] == 'E') && isDigit(peek(1 + sign)))
      for (at_ += 1 + sign; at_ < bytes_.size() && isDigit(bytes_[at_]);)
        ++at_;
  }

  void symbol() {
    kind_ = TokenKind::Symbol;
    for (std::string_view pair : kPairs)
      if (bytes_.substr(at_, 2) == pair) {
        at_ += 2;
        return;
      }
    if (kSingles.find(bytes_[at_]) != std::string_view::npos) {
      ++at_;
      return;
    }
    // Outside ASCII, the bytes of one character (or more) make one token, so
    // that a stray letter is reported once.
    kind_ = TokenKind::Other;
    if (static_cast<unsigned char>(bytes_[at_++]) >= 0x80)
      while (at_ < bytes_.size() && static_cast<unsigned char>(bytes_[at_]) >= 0x80)
        ++at_;
  }

  std::string_view bytes_;
  std::vector<Token> tokens_;
  std::size_t at_ = 0;
  std::size_t lineStart_ = 0;
  int line_ = 1;
  bool lineBlank_ = true; // nothing but blanks yet on this line
  TokenKind kind_ = TokenKind::Identifier;
};

} // namespace

std::vector<Token> tokenize(std::string_view bytes) { return Tokenizer(bytes).run(); }

std::string stringContents(const Token& token) {
  const std::string_view inner = token.text.substr(1, token.text.size() - 2);
  const char quote = token.text.front();
  std::string out;
  out.reserve(inner.size());
  for (std::size_t i = 0; i < inner.size(); ++i) {
    out += inner[i];
    if (inner[i] == quote)
      ++i; // its double
  }
  return out;
}

} // namespace Sqf
