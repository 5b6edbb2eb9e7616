#include "skin_engine/skin_file.h"

#include <array>
#include <charconv>
#include <string_view>
#include <variant>

namespace skin {
namespace {

constexpr std::string_view kMagic = ".SKN";
constexpr std::size_t kMaxLineBytes = 160;
constexpr std::size_t kMaxNameBytes = 32;

struct Range {
  int min;
  int max;
};

using ColorField = Rgb& (*)(Skin&);
using GradientField = Gradient& (*)(Skin&);
using AlignField = TextAlign& (*)(Skin&);
using WeightField = FontWeight& (*)(Skin&);
using NameField = std::string& (*)(Skin&);
struct MetricField {
  int& (*field)(Skin&);
  Range range;
};

struct Field {
  std::string_view key;
  std::variant<ColorField, GradientField, MetricField, AlignField, WeightField, NameField> target;
};

// Every key must appear exactly once.
const std::array kFields = {
    Field{"name", NameField{[](Skin& s) -> std::string& { return s.name; }}},

    Field{"caption.active", GradientField{[](Skin& s) -> Gradient& { return s.caption.active; }}},
    Field{"caption.inactive", GradientField{[](Skin& s) -> Gradient& { return s.caption.inactive; }}},
    Field{"caption.text.active", ColorField{[](Skin& s) -> Rgb& { return s.caption.textActive; }}},
    Field{"caption.text.inactive", ColorField{[](Skin& s) -> Rgb& { return s.caption.textInactive; }}},
    Field{"caption.height", MetricField{[](Skin& s) -> int& { return s.caption.height; }, {18, 40}}},
    Field{"caption.align", AlignField{[](Skin& s) -> TextAlign& { return s.caption.align; }}},
    Field{"caption.font", WeightField{[](Skin& s) -> FontWeight& { return s.caption.font; }}},
    Field{"caption.button.width", MetricField{[](Skin& s) -> int& { return s.caption.buttonWidth; }, {14, 48}}},
    Field{"caption.button.height", MetricField{[](Skin& s) -> int& { return s.caption.buttonHeight; }, {12, 36}}},
    Field{"caption.button.face", GradientField{[](Skin& s) -> Gradient& { return s.caption.buttonFace; }}},
    Field{"caption.button.hot", GradientField{[](Skin& s) -> Gradient& { return s.caption.buttonHot; }}},
    Field{"caption.button.pressed", GradientField{[](Skin& s) -> Gradient& { return s.caption.buttonPressed; }}},
    Field{"caption.button.border", ColorField{[](Skin& s) -> Rgb& { return s.caption.buttonBorder; }}},
    Field{"caption.button.glyph", ColorField{[](Skin& s) -> Rgb& { return s.caption.glyph; }}},
    Field{"caption.button.glyph.hot", ColorField{[](Skin& s) -> Rgb& { return s.caption.glyphHot; }}},
    Field{"caption.close.hot", GradientField{[](Skin& s) -> Gradient& { return s.caption.closeHot; }}},
    Field{"caption.close.pressed", GradientField{[](Skin& s) -> Gradient& { return s.caption.closePressed; }}},

    Field{"frame.width", MetricField{[](Skin& s) -> int& { return s.frame.width; }, {2, 8}}},
    Field{"frame.active", ColorField{[](Skin& s) -> Rgb& { return s.frame.active; }}},
    Field{"frame.inactive", ColorField{[](Skin& s) -> Rgb& { return s.frame.inactive; }}},
    Field{"frame.border", ColorField{[](Skin& s) -> Rgb& { return s.frame.border; }}},

    Field{"menubar.height", MetricField{[](Skin& s) -> int& { return s.menuBar.height; }, {18, 36}}},
    Field{"menubar.background", GradientField{[](Skin& s) -> Gradient& { return s.menuBar.background; }}},
    Field{"menubar.text", ColorField{[](Skin& s) -> Rgb& { return s.menuBar.text; }}},
    Field{"menubar.hot", GradientField{[](Skin& s) -> Gradient& { return s.menuBar.hot; }}},
    Field{"menubar.hot.text", ColorField{[](Skin& s) -> Rgb& { return s.menuBar.hotText; }}},

    Field{"menu.item.height", MetricField{[](Skin& s) -> int& { return s.menu.itemHeight; }, {16, 36}}},
    Field{"menu.background", ColorField{[](Skin& s) -> Rgb& { return s.menu.background; }}},
    Field{"menu.text", ColorField{[](Skin& s) -> Rgb& { return s.menu.text; }}},
    Field{"menu.text.disabled", ColorField{[](Skin& s) -> Rgb& { return s.menu.disabledText; }}},
    Field{"menu.highlight", GradientField{[](Skin& s) -> Gradient& { return s.menu.highlight; }}},
    Field{"menu.highlight.text", ColorField{[](Skin& s) -> Rgb& { return s.menu.highlightText; }}},
    Field{"menu.separator", ColorField{[](Skin& s) -> Rgb& { return s.menu.separator; }}},
    Field{"menu.border", ColorField{[](Skin& s) -> Rgb& { return s.menu.border; }}},

    Field{"window.background", ColorField{[](Skin& s) -> Rgb& { return s.window.background; }}},
    Field{"window.text", ColorField{[](Skin& s) -> Rgb& { return s.window.text; }}},

    Field{"button.face", GradientField{[](Skin& s) -> Gradient& { return s.button.face; }}},
    Field{"button.hot", GradientField{[](Skin& s) -> Gradient& { return s.button.hot; }}},
    Field{"button.pressed", GradientField{[](Skin& s) -> Gradient& { return s.button.pressed; }}},
    Field{"button.border", ColorField{[](Skin& s) -> Rgb& { return s.button.border; }}},
    Field{"button.text", ColorField{[](Skin& s) -> Rgb& { return s.button.text; }}},
    Field{"button.radius", MetricField{[](Skin& s) -> int& { return s.button.radius; }, {0, 4}}},

    Field{"edit.background", ColorField{[](Skin& s) -> Rgb& { return s.edit.background; }}},
    Field{"edit.text", ColorField{[](Skin& s) -> Rgb& { return s.edit.text; }}},
    Field{"edit.border", ColorField{[](Skin& s) -> Rgb& { return s.edit.border; }}},
    Field{"edit.border.focus", ColorField{[](Skin& s) -> Rgb& { return s.edit.focusBorder; }}},

    Field{"statusbar.background", GradientField{[](Skin& s) -> Gradient& { return s.statusBar.background; }}},
    Field{"statusbar.text", ColorField{[](Skin& s) -> Rgb& { return s.statusBar.text; }}},
    Field{"statusbar.separator", ColorField{[](Skin& s) -> Rgb& { return s.statusBar.separator; }}},
};

class Refusal {
 public:
  explicit Refusal(std::string* out) : out_(out) {}
  // Always nothing, so a refusal reads `return refuse(...)`.
  std::nullopt_t operator()(int line, std::string_view what) const {
    if (out_ != nullptr) {
      *out_ = line > 0 ? "line " + std::to_string(line) + ": " : std::string();
      out_->append(what);
    }
    return std::nullopt;
  }

 private:
  std::string* out_;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "#RRGGBB", nothing else.
std::optional<Rgb> ParseColor(std::string_view s) {
  if (s.size() != 7 || s[0] != '#') return std::nullopt;
  int v[6];
  for (int i = 0; i < 6; ++i) {
    v[i] = HexDigit(s[1 + i]);
    if (v[i] < 0) return std::nullopt;
  }
  return Rgb{static_cast<std::uint8_t>(v[0] * 16 + v[1]), static_cast<std::uint8_t>(v[2] * 16 + v[3]),
             static_cast<std::uint8_t>(v[4] * 16 + v[5])};
}

// Two colours separated by blanks.
std::optional<Gradient> ParseGradient(std::string_view s) {
  const std::size_t gap = s.find_first_of(" \t");
  if (gap == std::string_view::npos) return std::nullopt;
  const auto top = ParseColor(s.substr(0, gap));
  const auto bottom = ParseColor(Trim(s.substr(gap)));
  if (!top || !bottom) return std::nullopt;
  return Gradient{*top, *bottom};
}

// Decimal digits only, at most three of them (every range fits).
std::optional<int> ParseSmallInt(std::string_view s) {
  if (s.empty() || s.size() > 3) return std::nullopt;
  int value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size() || s[0] == '-' || s[0] == '+') return std::nullopt;
  return value;
}

bool IsNameChar(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ' ' ||
         c == '.' || c == '_' || c == '-';
}

// The value of one field, or a reason for refusing it.
std::string StoreValue(const Field& field, std::string_view value, Skin& skin) {
  const std::string key(field.key);
  struct Visitor {
    std::string_view value;
    Skin& skin;
    const std::string& key;

    std::string operator()(ColorField f) const {
      const auto c = ParseColor(value);
      if (!c) return key + ": expected a colour #RRGGBB";
      f(skin) = *c;
      return {};
    }
    std::string operator()(GradientField f) const {
      const auto g = ParseGradient(value);
      if (!g) return key + ": expected two colours #RRGGBB #RRGGBB";
      f(skin) = *g;
      return {};
    }
    std::string operator()(MetricField f) const {
      const auto n = ParseSmallInt(value);
      if (!n) return key + ": expected a whole number";
      if (*n < f.range.min || *n > f.range.max) {
        return key + ": " + std::to_string(*n) + " is not in " + std::to_string(f.range.min) + ".." +
               std::to_string(f.range.max);
      }
      f.field(skin) = *n;
      return {};
    }
    std::string operator()(AlignField f) const {
      if (value == "left") {
        f(skin) = TextAlign::kLeft;
      } else if (value == "center") {
        f(skin) = TextAlign::kCenter;
      } else {
        return key + ": expected left or center";
      }
      return {};
    }
    std::string operator()(WeightField f) const {
      if (value == "normal") {
        f(skin) = FontWeight::kNormal;
      } else if (value == "bold") {
        f(skin) = FontWeight::kBold;
      } else {
        return key + ": expected normal or bold";
      }
      return {};
    }
    std::string operator()(NameField f) const {
      if (value.empty() || value.size() > kMaxNameBytes) return key + ": 1 to 32 characters";
      for (char c : value) {
        if (!IsNameChar(c)) return key + ": letters, digits, space, '.', '_' and '-' only";
      }
      f(skin).assign(value);
      return {};
    }
  };
  return std::visit(Visitor{value, skin, key}, field.target);
}

}  // namespace

std::optional<Skin> ParseSkinFile(std::span<const std::uint8_t> bytes, std::string* error) {
  const Refusal refuse(error);
  if (bytes.size() > kMaxSkinFileBytes) return refuse(0, "larger than 16 KiB");
  if (bytes.size() < kMagic.size() ||
      std::string_view(reinterpret_cast<const char*>(bytes.data()), kMagic.size()) != kMagic) {
    return refuse(0, "does not begin with .SKN");
  }
  for (std::uint8_t b : bytes) {
    if (!(b >= 0x20 && b < 0x7F) && b != '\t' && b != '\r' && b != '\n') {
      return refuse(0, "holds a byte that is not printable ASCII");
    }
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  Skin skin;
  std::array<bool, kFields.size()> seen{};
  bool ended = false;
  std::size_t pos = 0;
  for (int lineNumber = 1; pos < text.size(); ++lineNumber) {
    const std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) return refuse(lineNumber, "no line break at the end");
    std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.find('\r') != std::string_view::npos) return refuse(lineNumber, "a stray carriage return");
    if (line.size() > kMaxLineBytes) return refuse(lineNumber, "longer than 160 characters");
    if (ended) return refuse(lineNumber, "text after the end line");

    if (lineNumber == 1) {
      const std::string_view version = line.substr(kMagic.size());
      if (version.size() < 2 || version[0] != ' ') return refuse(1, "expected \".SKN <version>\"");
      const auto number = ParseSmallInt(version.substr(1));
      if (!number) return refuse(1, "expected \".SKN <version>\"");
      if (*number != kSkinFileVersion) return refuse(1, "version " + std::to_string(*number) + " is not supported");
      continue;
    }
    const std::string_view content = Trim(line);
    if (content.empty() || content.front() == '#') continue;
    if (content == "end") {
      ended = true;
      continue;
    }
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) return refuse(lineNumber, "expected key = value");
    const std::string_view key = Trim(content.substr(0, equals));
    const std::string_view value = Trim(content.substr(equals + 1));
    std::size_t index = 0;
    while (index < kFields.size() && kFields[index].key != key) ++index;
    if (index == kFields.size()) return refuse(lineNumber, "unknown key " + std::string(key));
    if (seen[index]) return refuse(lineNumber, std::string(key) + " given twice");
    seen[index] = true;
    if (std::string why = StoreValue(kFields[index], value, skin); !why.empty()) return refuse(lineNumber, why);
  }
  if (!ended) return refuse(0, "no end line");
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    if (!seen[i]) return refuse(0, std::string(kFields[i].key) + " is missing");
  }
  // The buttons sit inside the caption with two pixels to spare above and below.
  if (skin.caption.buttonHeight > skin.caption.height - 4) {
    return refuse(0, "caption.button.height must be at most caption.height - 4");
  }
  return skin;
}

Rgb GradientAt(const Gradient& gradient, int y, int h) {
  if (h <= 1 || y <= 0) return gradient.top;
  if (y >= h - 1) return gradient.bottom;
  const auto mix = [&](std::uint8_t a, std::uint8_t b) {
    // Rounded to nearest; y / (h - 1) is in (0, 1).
    return static_cast<std::uint8_t>((a * (h - 1 - y) + b * y + (h - 1) / 2) / (h - 1));
  };
  return Rgb{mix(gradient.top.r, gradient.bottom.r), mix(gradient.top.g, gradient.bottom.g),
             mix(gradient.top.b, gradient.bottom.b)};
}

}  // namespace skin
