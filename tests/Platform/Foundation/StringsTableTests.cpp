#include <gtest/gtest.h>

#include "Foundation/Bundle.h"
#include "Foundation/StringsTable.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ConsoleCapture;
using testing_support::ScopedEnvironment;
using testing_support::TemporaryDirectory;
using testing_support::writeTextFile;

namespace {

Bytes bytesOf(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

// UTF-16 with its byte-order mark.
Bytes utf16(std::u16string_view text, bool bigEndian) {
  Bytes out;
  for (char16_t unit : u"\uFEFF" + std::u16string(text))
    for (int shift : bigEndian ? std::vector{8, 0} : std::vector{0, 8})
      out.push_back((unit >> shift) & 0xFF);
  return out;
}

}  // namespace

TEST(StringsTableTest, EntriesCommentsEscapesAndEncodings) {
  auto table = StringsTable::read(
      bytesOf("\xEF\xBB\xBF/* A comment\n over lines */\n"
              "\"plain\" = \"Plain\";  // trailing comment\n"
              "\"escapes\"=\"q\\\" b\\\\ n\\n t\\t \\U0416\\U00e9 \\UD83D\\UDE00\";\n"
              "\"multi\nline\" = \"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\";\n"
              "\"plain\" = \"Later\";"));
  ASSERT_TRUE(table);
  EXPECT_EQ(*table, (StringsTable::Entries{{"plain", "Later"},
                                           {"escapes", "q\" b\\ n\n t\t Жé 😀"},
                                           {"multi\nline", "Привет"}}));
  for (bool bigEndian : {false, true}) {
    auto wide = StringsTable::read(utf16(u"// ru\n\"_Loc_Ok\" = \"Хорошо\";\n", bigEndian));
    ASSERT_TRUE(wide) << bigEndian;
    EXPECT_EQ(wide->at("_Loc_Ok"), "Хорошо");
  }
  EXPECT_EQ(StringsTable::read({})->size(), 0u);
}

TEST(StringsTableTest, AMalformedTableIsRefusedWholeWithItsLine) {
  struct Case {
    std::string text;
    int line;
  };
  for (const Case& c : std::vector<Case>{{"\"a\" = \"1\";\n\"b\" = \"2\"\n\"c\" = \"3\";", 3},
                                         {"\"a\" = \"1\";\n\n\"b\" \"2\";", 3},
                                         {"\"a\" = \"1\";\n\"b\" = \"open\n;", 2},
                                         {"\"a\" = \"1\";\n/* never closed\n", 2},
                                         {"\"a\" = \"\\q\";", 1},
                                         {"\"a\" = \"\\U12\";", 1},
                                         {"\"a\" = \"\\UD83D\";", 1},
                                         {"a = \"1\";", 1},
                                         {"\"a\" = \"1\";\n\"b\" = \"\xC3\x28\";", 2}}) {
    StringsTable::Failure failure;
    EXPECT_FALSE(StringsTable::read(bytesOf(c.text), &failure)) << c.text;
    EXPECT_EQ(failure.line, c.line) << c.text << ": " << failure.reason;
  }
  Bytes odd = utf16(u"\"a\" = \"1\";", false);
  odd.push_back('x');
  EXPECT_FALSE(StringsTable::read(odd));
}

TEST(StringsTableTest, BundleLooksUpThePreferredLanguagesThenTheUnlocalizedTable) {
  TemporaryDirectory root;
  writeTextFile(root.file("ru.lproj/Localizable.strings"), "\"hello\" = \"Привет\";");
  writeTextFile(root.file("en.lproj/Localizable.strings"),
                "\"hello\" = \"Hello\";\n\"onlyEnglish\" = \"English\";");
  writeTextFile(root.file("Localizable.strings"),
                "\"root\" = \"Root\";\"hello\" = \"Root hello\";");
  writeTextFile(root.file("ru.lproj/Broken.strings"), "\"x\" = \"1\";\n\"y\" = ;\n");
  writeTextFile(root.file("en.lproj/Broken.strings"), "\"x\" = \"English x\";");
  Bundle bundle(root.path());
  ScopedEnvironment all("LC_ALL", std::nullopt), messages("LC_MESSAGES", std::nullopt);
  {
    ScopedEnvironment language("LANGUAGE", "ru"), lang("LANG", "en_US.UTF-8");
    EXPECT_EQ(bundle.localizedStringForKey("hello", "", ""), "Привет");
    EXPECT_EQ(bundle.localizedStringForKey("onlyEnglish", "", "Localizable"), "English");
    EXPECT_EQ(bundle.localizedStringForKey("root", "", ""), "Root");
    EXPECT_EQ(bundle.localizedStringForKey("absent", "Default", ""), "Default");
    EXPECT_EQ(bundle.localizedStringForKey("absent", "", ""), "absent");
    EXPECT_FALSE(bundle.findLocalizedStringForKey("absent", "NoSuchTable"));
    ConsoleCapture console;
    EXPECT_EQ(bundle.localizedStringForKey("x", "", "Broken"), "English x");
    EXPECT_EQ(bundle.localizedStringForKey("x", "", "Broken"), "English x");
    ASSERT_EQ(console.lines().size(), 1u);  // parsed once, reported once
    EXPECT_NE(console.lines()[0].find(root.file("ru.lproj/Broken.strings") + ":2:"),
              std::string::npos)
        << console.lines()[0];
  }
  {
    ScopedEnvironment language("LANGUAGE", std::nullopt), lang("LANG", "C");
    EXPECT_EQ(bundle.localizedStringForKey("hello", "", ""), "Hello");
  }
}
