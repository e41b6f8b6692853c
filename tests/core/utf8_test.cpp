// Counting, cutting, converting and matching UTF-8 text.
#include "core/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, CharactersAreCountedCutWholeAndMatchedIgnoringCaseButNotAccents) {
  const std::string emoji = "\xF0\x9F\x98\x80", hello = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";
  EXPECT_EQ(core::characterCount("a" + emoji + "\xC3\xA9"), 3u);
  EXPECT_EQ(core::firstCharacters("a" + emoji + "b", 2), "a" + emoji);
  EXPECT_EQ(core::utf16le("a" + emoji), std::string("a\0\x3D\xD8\x00\xDE", 6));

  // Cyrillic, Greek (both sigmas) and Latin letters fold; an accent is a different letter.
  EXPECT_EQ(core::foldCase("\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2"), "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
  EXPECT_EQ(core::foldCase("\xCE\xA3\xCF\x82"), "\xCF\x83\xCF\x83");
  EXPECT_EQ(core::foldCase("\xC3\x89T\xC3\x89"), "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(core::findIgnoringCase("x \xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89"), 2u);
  EXPECT_EQ(core::findIgnoringCase("x ete", "\xC3\xA9t\xC3\xA9"), std::string::npos);
  EXPECT_EQ(core::findIgnoringCase("say " + hello + "!", "\xD0\xBF\xD0\xA0\xD0\x98"), 4u);
  // The Kelvin sign folds to a shorter k: what follows it is still found where it is.
  EXPECT_EQ(core::findIgnoringCase("\xE2\x84\xAA\xE2\x84\xAA ab", "AB"), 7u);
  EXPECT_EQ(core::findIgnoringCase("abc", "", 1), 1u);
  // A byte that is no UTF-8 stays itself.
  EXPECT_EQ(core::foldCase("A\xE9"), "a\xE9");
}

}  // namespace
