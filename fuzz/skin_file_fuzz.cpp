// skin::ParseSkinFile: any file in the temporary-files folder named like a
// skin. A refusal says why in one line; a skin that is read is written out
// again (in the file's own layout) and re-read to the same skin, its CR LF
// twin reads the same, its proper prefixes are refused, and its gradients
// stay between their end colours.
#include <algorithm>
#include <string>

#include "fuzz_check.h"
#include "skin_engine/skin_file.h"

namespace {

using skin::Gradient;
using skin::Rgb;
using skin::Skin;

std::string ColourText(Rgb c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", c.r, c.g, c.b);
  return buffer;
}

// Every field, one line each: what is compared and what is re-read. A key
// left out here makes the re-read fail (every key is required), so the list
// cannot silently fall behind the reader.
std::string Write(const Skin& s) {
  std::string out = ".SKN 1\n";
  const auto line = [&](const char* key, const std::string& value) { out += std::string(key) + " = " + value + "\n"; };
  const auto colour = [&](const char* key, Rgb c) { line(key, ColourText(c)); };
  const auto gradient = [&](const char* key, const Gradient& g) { line(key, ColourText(g.top) + " " + ColourText(g.bottom)); };
  const auto metric = [&](const char* key, int n) { line(key, std::to_string(n)); };
  line("name", s.name);
  gradient("caption.active", s.caption.active);
  gradient("caption.inactive", s.caption.inactive);
  colour("caption.text.active", s.caption.textActive);
  colour("caption.text.inactive", s.caption.textInactive);
  metric("caption.height", s.caption.height);
  line("caption.align", s.caption.align == skin::TextAlign::kCenter ? "center" : "left");
  line("caption.font", s.caption.font == skin::FontWeight::kBold ? "bold" : "normal");
  metric("caption.button.width", s.caption.buttonWidth);
  metric("caption.button.height", s.caption.buttonHeight);
  gradient("caption.button.face", s.caption.buttonFace);
  gradient("caption.button.hot", s.caption.buttonHot);
  gradient("caption.button.pressed", s.caption.buttonPressed);
  colour("caption.button.border", s.caption.buttonBorder);
  colour("caption.button.glyph", s.caption.glyph);
  colour("caption.button.glyph.hot", s.caption.glyphHot);
  gradient("caption.close.hot", s.caption.closeHot);
  gradient("caption.close.pressed", s.caption.closePressed);
  metric("frame.width", s.frame.width);
  colour("frame.active", s.frame.active);
  colour("frame.inactive", s.frame.inactive);
  colour("frame.border", s.frame.border);
  metric("menubar.height", s.menuBar.height);
  gradient("menubar.background", s.menuBar.background);
  colour("menubar.text", s.menuBar.text);
  gradient("menubar.hot", s.menuBar.hot);
  colour("menubar.hot.text", s.menuBar.hotText);
  metric("menu.item.height", s.menu.itemHeight);
  colour("menu.background", s.menu.background);
  colour("menu.text", s.menu.text);
  colour("menu.text.disabled", s.menu.disabledText);
  gradient("menu.highlight", s.menu.highlight);
  colour("menu.highlight.text", s.menu.highlightText);
  colour("menu.separator", s.menu.separator);
  colour("menu.border", s.menu.border);
  colour("window.background", s.window.background);
  colour("window.text", s.window.text);
  gradient("button.face", s.button.face);
  gradient("button.hot", s.button.hot);
  gradient("button.pressed", s.button.pressed);
  colour("button.border", s.button.border);
  colour("button.text", s.button.text);
  metric("button.radius", s.button.radius);
  colour("edit.background", s.edit.background);
  colour("edit.text", s.edit.text);
  colour("edit.border", s.edit.border);
  colour("edit.border.focus", s.edit.focusBorder);
  gradient("statusbar.background", s.statusBar.background);
  colour("statusbar.text", s.statusBar.text);
  colour("statusbar.separator", s.statusBar.separator);
  out += "end\n";
  return out;
}

std::optional<Skin> Parse(std::string_view text, std::string* error = nullptr) {
  return skin::ParseSkinFile(fuzz::AsBytes(text), error);
}

bool Between(std::uint8_t v, std::uint8_t a, std::uint8_t b) { return v >= std::min(a, b) && v <= std::max(a, b); }

void CheckGradient(const Gradient& g) {
  for (const int h : {0, 1, 2, 3, 18, 27, 40, 255}) {
    FUZZ_CHECK(skin::GradientAt(g, 0, h) == g.top);
    if (h >= 2) FUZZ_CHECK(skin::GradientAt(g, h - 1, h) == g.bottom);
    for (int y = -1; y <= h; ++y) {
      const Rgb c = skin::GradientAt(g, y, h);
      FUZZ_CHECK(Between(c.r, g.top.r, g.bottom.r) && Between(c.g, g.top.g, g.bottom.g) &&
                 Between(c.b, g.top.b, g.bottom.b));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = fuzz::AsText(data, size);
  std::string error;
  const std::optional<Skin> skin = Parse(text, &error);
  const std::optional<Skin> quiet = Parse(text);
  FUZZ_CHECK(skin.has_value() == quiet.has_value());
  if (!skin) {
    FUZZ_CHECK(!error.empty() && error.find('\n') == std::string::npos);
    return 0;
  }
  FUZZ_CHECK(error.empty());

  const std::string written = Write(*skin);
  FUZZ_CHECK(Write(*quiet) == written);
  const std::optional<Skin> reread = Parse(written, &error);
  if (!reread) std::fprintf(stderr, "re-read refused: %s\n", error.c_str());
  FUZZ_CHECK(reread.has_value());
  FUZZ_CHECK(Write(*reread) == written);

  // The same file with CR LF line ends, when the input has LF ends only.
  if (text.find('\r') == std::string_view::npos) {
    std::string crlf;
    for (const char c : text) {
      if (c == '\n') crlf += '\r';
      crlf += c;
    }
    const std::optional<Skin> twin = Parse(crlf);
    FUZZ_CHECK(twin.has_value() == (crlf.size() <= skin::kMaxSkinFileBytes));
    if (twin) FUZZ_CHECK(Write(*twin) == written);
  }

  // A truncated file never reads: cut by one byte, and just before the end line.
  FUZZ_CHECK(!Parse(text.substr(0, size - 1)).has_value());
  const std::size_t lastLine = text.rfind('\n', size - 2);
  if (lastLine != std::string_view::npos) FUZZ_CHECK(!Parse(text.substr(0, lastLine + 1)).has_value());

  for (const Gradient* g : {&skin->caption.active, &skin->caption.inactive, &skin->caption.buttonFace,
                            &skin->caption.buttonHot, &skin->caption.buttonPressed, &skin->caption.closeHot,
                            &skin->caption.closePressed, &skin->menuBar.background, &skin->menuBar.hot,
                            &skin->menu.highlight, &skin->button.face, &skin->button.hot, &skin->button.pressed,
                            &skin->statusBar.background}) {
    CheckGradient(*g);
  }
  return 0;
}
