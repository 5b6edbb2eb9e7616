#include "skin_engine/skin_file.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/skin_engine/skin_test_files.h"

namespace skin {
namespace {

std::optional<Skin> Parse(const std::string& text, std::string* error = nullptr) {
  return ParseSkinFile(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), error);
}

std::string Carried(const char* name) {
  const std::vector<std::uint8_t> bytes = test::ReadSkinFile(name);
  return std::string(bytes.begin(), bytes.end());
}

int Distance(Rgb a, Rgb b) { return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b); }

TEST(SkinFile, EveryCarriedSkinIsValid) {
  for (const char* name : test::kSkinNames) {
    std::string error;
    const auto skin = Parse(Carried(name), &error);
    ASSERT_TRUE(skin.has_value()) << name << ".skn: " << error;
    EXPECT_FALSE(skin->name.empty()) << name;
  }
}

TEST(SkinFile, ReadsTheValuesAsWritten) {
  const auto asus = Parse(Carried("asus"));
  ASSERT_TRUE(asus.has_value());
  EXPECT_EQ(asus->name, "Asus");
  EXPECT_EQ(asus->caption.active, (Gradient{{0x4A, 0x8B, 0xE8}, {0x1C, 0x4F, 0xA3}}));
  EXPECT_EQ(asus->caption.textActive, (Rgb{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(asus->caption.height, 28);
  EXPECT_EQ(asus->caption.align, TextAlign::kLeft);
  EXPECT_EQ(asus->caption.font, FontWeight::kBold);
  EXPECT_EQ(asus->frame.width, 4);
  EXPECT_EQ(asus->window.background, (Rgb{0xE5, 0xEE, 0xFA}));
  EXPECT_EQ(asus->statusBar.separator, (Rgb{0x77, 0x95, 0xC8}));

  const auto hlong = Parse(Carried("hlong"));
  ASSERT_TRUE(hlong.has_value());
  EXPECT_EQ(hlong->caption.align, TextAlign::kCenter);
}

// Each skin differs from every other in its caption, its client background or
// its menu bar; the four offered in the program's menu differ in the caption
// by a wide margin (blue, light blue, green, silver).
TEST(SkinFile, SkinsLookClearlyDifferent) {
  std::vector<Skin> skins;
  for (const char* name : test::kSkinNames) skins.push_back(*Parse(Carried(name)));
  for (std::size_t i = 0; i < skins.size(); ++i) {
    for (std::size_t j = i + 1; j < skins.size(); ++j) {
      const Skin& a = skins[i];
      const Skin& b = skins[j];
      const int difference = Distance(a.caption.active.top, b.caption.active.top) +
                             Distance(a.caption.active.bottom, b.caption.active.bottom) +
                             Distance(a.window.background, b.window.background) +
                             Distance(a.menuBar.background.top, b.menuBar.background.top);
      EXPECT_GT(difference, 60) << test::kSkinNames[i] << " and " << test::kSkinNames[j];
    }
  }
  const std::array menuSkins = {Parse(Carried("aero")), Parse(Carried("asus")), Parse(Carried("homestead")),
                                Parse(Carried("hlong"))};
  for (std::size_t i = 0; i < menuSkins.size(); ++i) {
    for (std::size_t j = i + 1; j < menuSkins.size(); ++j) {
      EXPECT_GT(Distance(menuSkins[i]->caption.active.top, menuSkins[j]->caption.active.top) +
                    Distance(menuSkins[i]->caption.active.bottom, menuSkins[j]->caption.active.bottom),
                160)
          << menuSkins[i]->name << " and " << menuSkins[j]->name;
    }
  }
}

TEST(SkinFile, EveryProperPrefixIsRefused) {
  for (const char* name : test::kSkinNames) {
    const std::string text = Carried(name);
    for (std::size_t length = 0; length < text.size(); ++length) {
      ASSERT_FALSE(Parse(text.substr(0, length)).has_value()) << name << " cut to " << length << " bytes";
    }
  }
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(SkinFile, RefusesMalformedFiles) {
  const std::string base = Carried("asus");
  ASSERT_TRUE(Parse(base).has_value());
  const std::string longComment = "# " + std::string(170, 'x') + "\n";
  std::string huge = base;
  while (huge.size() <= kMaxSkinFileBytes) huge.insert(7, "# padding padding padding\n");
  struct Case {
    const char* what;
    std::string text;
    const char* reason;  // part of the error line
  };
  const Case cases[] = {
      {"empty", "", "does not begin with .SKN"},
      {"wrong magic", Replace(base, ".SKN 1", ".SKM 1"), "does not begin with .SKN"},
      {"magic in lower case", Replace(base, ".SKN 1", ".skn 1"), "does not begin with .SKN"},
      {"no version", Replace(base, ".SKN 1", ".SKN"), "line 1: expected"},
      {"version glued on", Replace(base, ".SKN 1", ".SKN1"), "line 1: expected"},
      {"newer version", Replace(base, ".SKN 1", ".SKN 2"), "version 2 is not supported"},
      {"missing key", Replace(base, "menu.border = #163F82\n", ""), "menu.border is missing"},
      {"key twice", Replace(base, "end\n", "frame.width = 4\nend\n"), "frame.width given twice"},
      {"unknown key", Replace(base, "end\n", "frame.colour = #000000\nend\n"), "unknown key frame.colour"},
      {"metric above range", Replace(base, "caption.height = 28", "caption.height = 41"), "41 is not in 18..40"},
      {"metric below range", Replace(base, "frame.width = 4", "frame.width = 1"), "1 is not in 2..8"},
      {"radius above range", Replace(base, "button.radius = 2", "button.radius = 5"), "5 is not in 0..4"},
      {"negative metric", Replace(base, "caption.height = 28", "caption.height = -28"), "whole number"},
      {"long number", Replace(base, "caption.height = 28", "caption.height = 0028"), "whole number"},
      {"metric with unit", Replace(base, "caption.height = 28", "caption.height = 28px"), "whole number"},
      {"short colour", Replace(base, "window.text = #10254A", "window.text = #10254"), "colour #RRGGBB"},
      {"colour not hex", Replace(base, "window.text = #10254A", "window.text = #10254G"), "colour #RRGGBB"},
      {"colour without #", Replace(base, "window.text = #10254A", "window.text = 10254AA"), "colour #RRGGBB"},
      {"one-colour gradient", Replace(base, "button.face = #F7FAFF #C6D9F4", "button.face = #F7FAFF"),
       "two colours"},
      {"three-colour gradient",
       Replace(base, "button.face = #F7FAFF #C6D9F4", "button.face = #F7FAFF #C6D9F4 #000000"), "two colours"},
      {"unknown alignment", Replace(base, "caption.align = left", "caption.align = right"), "left or center"},
      {"unknown weight", Replace(base, "caption.font = bold", "caption.font = heavy"), "normal or bold"},
      {"empty name", Replace(base, "name = Asus", "name ="), "1 to 32"},
      {"long name", Replace(base, "name = Asus", "name = " + std::string(33, 'a')), "1 to 32"},
      {"name with a symbol", Replace(base, "name = Asus", "name = Asus!"), "letters, digits"},
      {"buttons taller than the caption",
       Replace(base, "caption.button.height = 20", "caption.button.height = 25"), "at most caption.height - 4"},
      {"NUL byte", Replace(base, "name = Asus", std::string("name = As\0us", 12)), "printable ASCII"},
      {"GBK bytes", Replace(base, "name = Asus", "name = \xC0\xB6"), "printable ASCII"},
      {"stray carriage return", Replace(base, "name = Asus", "name = As\rus"), "stray carriage return"},
      {"no line break after end", base.substr(0, base.size() - 1), "no line break at the end"},
      {"text after end", base + "frame.width = 4\n", "text after the end line"},
      {"blank line after end", base + "\n", "text after the end line"},
      {"no end line", Replace(base, "end\n", ""), "no end line"},
      {"line without =", Replace(base, "name = Asus", "name Asus"), "expected key = value"},
      {"line too long", Replace(base, "# Title bar\n", longComment), "longer than 160"},
      {"file too large", huge, "larger than 16 KiB"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(Parse(c.text, &error).has_value()) << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": got \"" << error << "\"";
  }
}

TEST(SkinFile, AcceptsCrLfCommentsAndFreeSpacing) {
  const std::string base = Carried("homestead");
  std::string crlf;
  for (char c : base) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  std::string spaced = Replace(base, "name = Homestead", "\t  # indented comment\nname=Homestead");
  spaced = Replace(spaced, "frame.width = 4", "  frame.width\t=\t4  ");
  spaced = Replace(spaced, "button.face = #FBFFF6 #D6ECC0", "button.face = #fbfff6\t\t#d6ecc0");
  const auto expected = Parse(base);
  ASSERT_TRUE(expected.has_value());
  for (const std::string& text : {crlf, spaced}) {
    std::string error;
    const auto skin = Parse(text, &error);
    ASSERT_TRUE(skin.has_value()) << error;
    EXPECT_EQ(skin->name, expected->name);
    EXPECT_EQ(skin->frame.width, expected->frame.width);
    EXPECT_EQ(skin->button.face, expected->button.face);
    EXPECT_EQ(skin->statusBar.background, expected->statusBar.background);
  }
}

// Random damage of valid files: the reader must stay inside the buffer (run it
// under a sanitizer to see) and anything it accepts must still be in range.
TEST(SkinFile, DamagedFilesNeverYieldOutOfRangeSkins) {
  std::mt19937 random(20110204);
  for (const char* name : test::kSkinNames) {
    const std::string original = Carried(name);
    for (int round = 0; round < 400; ++round) {
      std::string text = original;
      const int edits = 1 + static_cast<int>(random() % 4);
      for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = random() % text.size();
        switch (random() % 3) {
          case 0: text[at] = static_cast<char>(random() % 256); break;
          case 1: text.erase(at, 1 + random() % 8); break;
          default: text.insert(at, 1, "0123456789#=. \n\r"[random() % 16]); break;
        }
      }
      const auto skin = Parse(text);
      if (!skin) continue;
      EXPECT_GE(skin->caption.height, 18);
      EXPECT_LE(skin->caption.height, 40);
      EXPECT_LE(skin->caption.buttonHeight, skin->caption.height - 4);
      EXPECT_GE(skin->frame.width, 2);
      EXPECT_LE(skin->frame.width, 8);
      EXPECT_GE(skin->menuBar.height, 18);
      EXPECT_LE(skin->menu.itemHeight, 36);
      EXPECT_LE(skin->button.radius, 4);
      EXPECT_FALSE(skin->name.empty());
    }
  }
}

TEST(SkinFile, GradientRowsRunFromTopToBottomExactly) {
  const Gradient g{{0x00, 0x80, 0xFF}, {0xFF, 0x80, 0x00}};
  EXPECT_EQ(GradientAt(g, 0, 20), g.top);
  EXPECT_EQ(GradientAt(g, 19, 20), g.bottom);
  EXPECT_EQ(GradientAt(g, 0, 1), g.top);
  EXPECT_EQ(GradientAt(g, -3, 20), g.top);
  EXPECT_EQ(GradientAt(g, 25, 20), g.bottom);
  EXPECT_EQ(GradientAt(g, 1, 3), (Rgb{0x80, 0x80, 0x80}));  // 127.5 rounds up
  int last = -1;
  for (int y = 0; y < 20; ++y) {
    const int r = GradientAt(g, y, 20).r;
    EXPECT_GT(r, last);
    last = r;
  }
}

}  // namespace
}  // namespace skin
