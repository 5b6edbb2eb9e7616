// The skin file (".skn"): a small versioned text layout of colours, gradients
// and metrics. Portable (no OS headers), so it is tested natively and can be
// fuzzed.
//
//   .SKN 1                        first line: the magic and the version
//   # a comment line              blank and '#' lines are skipped
//   name = Aero                   1..32 of [A-Za-z0-9 ._-]
//   caption.active = #2F6FC9 #1A4A94     a gradient: top colour, bottom colour
//   caption.text.active = #FFFFFF        a colour
//   caption.height = 26                  a metric, range-checked
//   caption.align = center               a keyword
//   end                           last line, followed by one line break
//
// Bytes are printable ASCII; lines end in LF or CR LF. Every key of the table
// in skin_file.cpp appears exactly once, unknown keys are refused, and nothing
// follows the final "end" line, so every proper prefix of a valid file is
// refused (a truncated file never parses).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace skin {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// Painted from top to bottom, row by row.
struct Gradient {
  Rgb top;
  Rgb bottom;
  friend constexpr bool operator==(const Gradient&, const Gradient&) = default;
};

enum class TextAlign : std::uint8_t { kLeft, kCenter };
enum class FontWeight : std::uint8_t { kNormal, kBold };

// Metrics are pixels.
struct Skin {
  std::string name;

  struct Caption {
    Gradient active, inactive;
    Rgb textActive, textInactive;
    int height = 0;  // [18, 40], the top frame included
    TextAlign align = TextAlign::kLeft;
    FontWeight font = FontWeight::kNormal;
    // Minimise, maximise and close buttons.
    int buttonWidth = 0;   // [14, 48]
    int buttonHeight = 0;  // [12, 36], at most height - 4
    Gradient buttonFace, buttonHot, buttonPressed;
    Gradient closeHot, closePressed;
    Rgb buttonBorder, glyph, glyphHot;
  } caption;

  struct Frame {
    int width = 0;  // [2, 8], the outer border line included
    Rgb active, inactive, border;
  } frame;

  struct MenuBar {
    int height = 0;  // [18, 36], one row of items
    Gradient background, hot;
    Rgb text, hotText;
  } menuBar;

  // Popup menus.
  struct Menu {
    int itemHeight = 0;  // [16, 36]
    Rgb background, text, disabledText, highlightText, separator, border;
    Gradient highlight;
  } menu;

  // The client area of windows and dialogs, and the texts on it.
  struct Window {
    Rgb background, text;
  } window;

  // Push buttons; also the drop-down button of combo boxes.
  struct Button {
    Gradient face, hot, pressed;
    Rgb border, text;
    int radius = 0;  // [0, 4], corner pixels cut
  } button;

  // Edit boxes, combo boxes and drop-down lists.
  struct Edit {
    Rgb background, text, border, focusBorder;
  } edit;

  struct StatusBar {
    Gradient background;
    Rgb text, separator;
  } statusBar;
};

inline constexpr std::size_t kMaxSkinFileBytes = 16 * 1024;
inline constexpr int kSkinFileVersion = 1;

// The skin a file describes, or nothing when the file is not a complete,
// valid skin file of a supported version. When error is given, a refusal
// writes one line saying why ("line 7: caption.height: 50 is not in 18..40").
std::optional<Skin> ParseSkinFile(std::span<const std::uint8_t> bytes,
                                  std::string* error = nullptr);

// The colour at row y (0-based) of a gradient h rows high: exactly the top
// colour at row 0 and the bottom colour at row h - 1.
Rgb GradientAt(const Gradient& gradient, int y, int h);

}  // namespace skin
