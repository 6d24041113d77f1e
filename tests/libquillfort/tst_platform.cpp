// The file's code page: what a saved script can hold and how it reads back.
#include "platform/AnsiCodec.h"
#include "platform/RuntimeError.h"

#include <gtest/gtest.h>

TEST(AnsiCodec, EveryByteReadsBackAsItself) {
  std::string all;
  for (int b = 0; b < 256; ++b)
    all += static_cast<char>(b);
  const std::u16string text = AnsiCodec::decode(all);
  ASSERT_EQ(text.size(), 256u);
  EXPECT_EQ(AnsiCodec::encode(text, "a test"), all);
}

TEST(AnsiCodec, TypographicCharactersHaveTheirWindows1252Bytes) {
  // Euro sign, curly quotes, dashes, the ellipsis and the trade mark sign are
  // what mission makers paste from word processors.
  const std::u16string text = u"\u20AC\u201C\u201D\u2018\u2019\u2013\u2014\u2026\u2122\u0178\u00E9\u00A0";
  EXPECT_EQ(AnsiCodec::encode(text, "a test"), "\x80\x93\x94\x91\x92\x96\x97\x85\x99\x9F\xE9\xA0");
}

struct Unwritable {
  std::u16string text;
  const char* code;
  const char* shown;
};

class AnsiCodecFailure : public testing::TestWithParam<Unwritable> {};

TEST_P(AnsiCodecFailure, NamesTheCharacterAndTheEntry) {
  try {
    AnsiCodec::encode(GetParam().text, "the title of task 3");
    FAIL() << "encoded a character the code page cannot hold";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number, 5);
    EXPECT_NE(e.description.find(GetParam().code), std::string::npos) << e.description;
    EXPECT_NE(e.description.find(GetParam().shown), std::string::npos) << e.description;
    EXPECT_NE(e.description.find("the title of task 3"), std::string::npos) << e.description;
  }
}

INSTANTIATE_TEST_SUITE_P(Characters, AnsiCodecFailure,
                         testing::Values(Unwritable{u"Pozna\u0144 bridge", "U+0144", "\xC5\x84"},
                                         Unwritable{u"\u041C\u043E\u0441\u043A\u0432\u0430", "U+041C",
                                                    "\xD0\x9C"},
                                         Unwritable{u"ok \U0001F600", "U+1F600", "\xF0\x9F\x98\x80"}));
