// The file's code page: what a saved script can hold and how it reads back.
#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

TEST(AnsiCodec, WritesTheCodePagesBytesOrNamesTheCharacter) {
  std::string all; // every byte reads back as itself
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  EXPECT_EQ(AnsiCodec::encode(AnsiCodec::decode(all), "a test"), all);
  // Euro sign, curly quotes, dashes, the ellipsis and the trade mark sign are
  // what mission makers paste from word processors.
  EXPECT_EQ(AnsiCodec::encode(u"\u20AC\u201C\u201D\u2018\u2019\u2013\u2014\u2026\u2122\u0178\u00E9\u00A0",
                              "a test"),
            "\x80\x93\x94\x91\x92\x96\x97\x85\x99\x9F\xE9\xA0");
  const std::pair<std::u16string, const char*> unwritable[] = {
      {u"Pozna\u0144 bridge", "U+0144 \"\xC5\x84\""},
      {u"\u041C\u043E\u0441\u043A\u0432\u0430", "U+041C \"\xD0\x9C\""},
      {u"ok \U0001F600", "U+1F600 \"\xF0\x9F\x98\x80\""}};
  for (const auto& [text, shown] : unwritable) {
    try {
      ADD_FAILURE() << AnsiCodec::encode(text, "the title of task 3") << " encoded";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number, 5);
      EXPECT_NE(e.description.find(std::string("The character ") + shown + " in the title of task 3"),
                std::string::npos)
          << e.description;
    }
  }
}
