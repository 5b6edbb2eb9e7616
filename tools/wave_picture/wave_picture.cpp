// Draws the About window's ripple picture, resources/wave/wave.bmp: a lake
// landscape at sunset under the program's name, 380 x 142 pixels, written as
// an uncompressed 8-bit Windows bitmap (pixel data at offset 1078).
//
//   wave_picture OUTPUT.bmp
//
// The scene is drawn in full colour with 4 x 4 samples per pixel, then
// reduced to 256 colours (median cut refined by a few k-means passes). The
// name's five characters come from a small stroke font defined below. Only
// exact arithmetic (+ - * / sqrt floor) and a sine of our own are used, so
// every run writes the same bytes.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <span>
#include <vector>

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 142;
constexpr int kSamples = 4;  // per pixel side
constexpr int kColours = 256;
constexpr double kPi = 3.14159265358979323846;

struct Colour {
  double r = 0, g = 0, b = 0;
};

Colour Mix(Colour a, Colour b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double Clamp01(double t) { return std::clamp(t, 0.0, 1.0); }

double SmoothStep(double t) {
  t = Clamp01(t);
  return t * t * (3 - 2 * t);
}

// Taylor series after folding into [-pi/2, pi/2]; libm's sin may differ in
// the last bit between C libraries.
double Sine(double x) {
  x -= 2 * kPi * std::floor((x + kPi) / (2 * kPi));  // [-pi, pi)
  if (x > kPi / 2) x = kPi - x;
  if (x < -kPi / 2) x = -kPi - x;
  const double x2 = x * x;
  return x * (1 - x2 / 6 * (1 - x2 / 20 * (1 - x2 / 42 * (1 - x2 / 72 * (1 - x2 / 110)))));
}

// ---- The landscape -------------------------------------------------------

constexpr double kShoreY = 100;  // the water's edge
constexpr double kSunX = 204, kSunY = 71, kSunRadius = 10;

double FarRidge(double x) {
  return 68 - 11 * Sine(x * 0.021 + 1.3) - 6 * Sine(x * 0.047 + 0.4) - 2.5 * Sine(x * 0.113 + 2.2);
}

double MiddleRidge(double x) {
  return 85 - 7 * Sine(x * 0.017 + 2.4) - 4 * Sine(x * 0.041 + 1.0) - 1.5 * Sine(x * 0.097);
}

double NearRidge(double x) {
  return 94 - 4.5 * Sine(x * 0.013 + 0.2) - 2.5 * Sine(x * 0.052 + 2.0);
}

Colour Sky(double x, double y) {
  const Colour top{34, 78, 150};
  const Colour middle{108, 160, 212};
  const Colour horizon{248, 214, 168};
  Colour sky = y < 40 ? Mix(top, middle, y / 40) : Mix(middle, horizon, SmoothStep((y - 40) / 45));
  // The sun's glow, then the disc.
  const double dx = x - kSunX, dy = y - kSunY;
  const double d2 = dx * dx + dy * dy;
  sky = Mix(sky, Colour{255, 226, 160}, 0.55 / (1 + d2 / 900));
  if (d2 < kSunRadius * kSunRadius) {
    sky = Mix(sky, Colour{255, 247, 222}, SmoothStep((kSunRadius - std::sqrt(d2)) / 1.5));
  }
  // Two thin streaks of cloud near the horizon.
  for (const auto& [cx, cy, half] : {std::array{92.0, 52.0, 60.0}, std::array{250.0, 60.0, 45.0}}) {
    const double across = (x - cx) / half, up = (y - cy) / 2.2;
    const double cloud = 1 - across * across - up * up;
    if (cloud > 0) sky = Mix(sky, Colour{255, 240, 228}, 0.45 * SmoothStep(cloud * 2));
  }
  return sky;
}

// Everything above the water, without the name.
Colour Landscape(double x, double y) {
  if (y >= NearRidge(x)) {
    // Terraced fields of young rice: light and dark bands along the slope.
    const double depth = y - NearRidge(x);
    const double band = 0.5 + 0.5 * Sine(depth * 2.1 + x * 0.05);
    return Mix(Colour{62, 128, 58}, Colour{118, 178, 78}, 0.35 + 0.5 * band - depth / 30);
  }
  if (y >= MiddleRidge(x)) {
    const double depth = y - MiddleRidge(x);
    return Mix(Colour{70, 118, 96}, Colour{46, 92, 78}, Clamp01(depth / 14));
  }
  if (y >= FarRidge(x)) {
    // Hazy blue, fading into the sky lower down.
    const double depth = y - FarRidge(x);
    return Mix(Colour{112, 136, 176}, Colour{168, 176, 196}, Clamp01(depth / 30));
  }
  return Sky(x, y);
}

// Below the shore: the landscape mirrored, darker and bluer with depth, with
// a gentle sway of the reflection and faint glints.
Colour Water(double x, double y) {
  const double depth = y - kShoreY;  // [0, 42]
  const double sway = 1.2 * Sine(y * 0.9) * Clamp01(depth / 8);
  const Colour mirrored = Landscape(x + sway, 2 * kShoreY - y - 0.5);
  Colour water = Mix(mirrored, Colour{30, 70, 112}, 0.30 + depth / 90);
  const double glint = Sine(x * 0.13 + y * 1.7) * Sine(x * 0.027 - y * 0.45);
  if (glint > 0.85) water = Mix(water, Colour{235, 236, 230}, (glint - 0.85) * 2.5);
  return water;
}

// ---- The name: 青禾万年历 in a stroke font ------------------------------

// Strokes are polylines in a 100 x 100 box (y down), drawn with round ends.
using Stroke = std::vector<std::array<double, 2>>;
using Glyph = std::vector<Stroke>;

const std::array<Glyph, 5>& NameGlyphs() {
  static const std::array<Glyph, 5> glyphs = {{
      // 青
      {{{24, 8}, {76, 8}},
       {{28, 19}, {72, 19}},
       {{10, 31}, {90, 31}},
       {{50, 0}, {50, 31}},
       {{26, 42}, {26, 80}, {17, 99}},
       {{26, 42}, {75, 42}, {75, 93}, {64, 97}},
       {{26, 57}, {75, 57}},
       {{26, 72}, {75, 72}}},
      // 禾
      {{{71, 3}, {32, 15}},
       {{8, 36}, {92, 36}},
       {{50, 10}, {50, 100}},
       {{47, 43}, {30, 64}, {8, 82}},
       {{54, 43}, {72, 61}, {92, 76}}},
      // 万
      {{{6, 14}, {94, 14}},
       {{38, 14}, {36, 52}, {28, 76}, {8, 97}},
       {{37, 44}, {81, 44}, {80, 84}, {75, 96}, {61, 92}}},
      // 年
      {{{34, 1}, {15, 30}},
       {{25, 17}, {87, 17}},
       {{28, 40}, {81, 40}},
       {{28, 40}, {28, 62}},
       {{5, 62}, {95, 62}},
       {{57, 17}, {57, 100}}},
      // 历
      {{{15, 9}, {92, 9}},
       {{18, 9}, {18, 56}, {13, 80}, {2, 98}},
       {{33, 42}, {85, 42}, {84, 86}, {78, 97}, {65, 94}},
       {{59, 21}, {58, 58}, {48, 81}, {29, 99}}},
  }};
  return glyphs;
}

constexpr double kGlyphSize = 46;     // pixels per 100 font units
constexpr double kGlyphAdvance = 57;  // pixels from one character to the next
constexpr double kNameTop = 12;
constexpr double kStrokeHalfWidth = 4.0;  // font units
constexpr double kNameLeft = (kWidth - (4 * kGlyphAdvance + kGlyphSize)) / 2;

double SegmentDistance(double px, double py, std::array<double, 2> a, std::array<double, 2> b) {
  const double vx = b[0] - a[0], vy = b[1] - a[1];
  const double wx = px - a[0], wy = py - a[1];
  const double t = Clamp01((wx * vx + wy * vy) / (vx * vx + vy * vy));
  const double dx = wx - t * vx, dy = wy - t * vy;
  return std::sqrt(dx * dx + dy * dy);
}

// Distance in font units from a point of the picture to the nearest stroke of
// the name.
double NameDistance(double x, double y) {
  double best = 1e9;
  const double fy = (y - kNameTop) * 100 / kGlyphSize;
  if (fy < -20 || fy > 120) return best;
  const auto& glyphs = NameGlyphs();
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    const double fx = (x - kNameLeft - static_cast<double>(i) * kGlyphAdvance) * 100 / kGlyphSize;
    if (fx < -20 || fx > 120) continue;
    for (const Stroke& stroke : glyphs[i]) {
      for (std::size_t s = 1; s < stroke.size(); ++s) {
        best = std::min(best, SegmentDistance(fx, fy, stroke[s - 1], stroke[s]));
      }
    }
  }
  return best;
}

Colour Scene(double x, double y) {
  if (y >= kShoreY) return Water(x, y);
  Colour c = Landscape(x, y);
  // A soft shadow below right of the name, then the name itself.
  const double shadow = NameDistance(x - 1.6, y - 1.6);
  if (shadow < kStrokeHalfWidth + 4) {
    c = Mix(c, Colour{18, 36, 72}, 0.55 * SmoothStep((kStrokeHalfWidth + 4 - shadow) / 4));
  }
  if (NameDistance(x, y) <= kStrokeHalfWidth) c = Colour{255, 252, 240};
  return c;
}

// ---- 256 colours ---------------------------------------------------------

struct Rgb {
  int r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

int Channel(const Rgb& c, int i) { return i == 0 ? c.r : i == 1 ? c.g : c.b; }

long long Distance2(const Rgb& a, const Rgb& b) {
  const long long dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return dr * dr + dg * dg + db * db;
}

Rgb Mean(std::span<const Rgb> colours) {
  long long r = 0, g = 0, b = 0;
  for (const Rgb& c : colours) r += c.r, g += c.g, b += c.b;
  const auto n = static_cast<long long>(colours.size());
  return {static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
          static_cast<int>((b + n / 2) / n)};
}

long long SquaredError(std::span<const Rgb> colours) {
  const Rgb mean = Mean(colours);
  long long sum = 0;
  for (const Rgb& c : colours) sum += Distance2(c, mean);
  return sum;
}

int Nearest(const std::vector<Rgb>& palette, const Rgb& c) {
  int best = 0;
  for (int i = 1; i < static_cast<int>(palette.size()); ++i) {
    if (Distance2(palette[static_cast<std::size_t>(i)], c) <
        Distance2(palette[static_cast<std::size_t>(best)], c)) {
      best = i;
    }
  }
  return best;
}

std::vector<Rgb> MakePalette(std::vector<Rgb> pixels) {
  // Median cut: split the box with the largest squared error at the median of
  // its widest channel. Equal keys are equal colours, so the order sort
  // leaves them in does not matter.
  struct Box {
    std::size_t begin, end;
    long long error;
  };
  std::vector<Box> boxes{{0, pixels.size(), SquaredError(pixels)}};
  while (static_cast<int>(boxes.size()) < kColours) {
    const auto worst = std::max_element(boxes.begin(), boxes.end(),
                                        [](const Box& a, const Box& b) { return a.error < b.error; });
    if (worst->error == 0) break;
    const Box box = *worst;
    const std::span<Rgb> part(pixels.begin() + static_cast<std::ptrdiff_t>(box.begin),
                              pixels.begin() + static_cast<std::ptrdiff_t>(box.end));
    int channel = 0, widest = -1;
    for (int i = 0; i < 3; ++i) {
      const auto [lo, hi] = std::minmax_element(part.begin(), part.end(), [i](const Rgb& a, const Rgb& b) {
        return Channel(a, i) < Channel(b, i);
      });
      if (Channel(*hi, i) - Channel(*lo, i) > widest) widest = Channel(*hi, i) - Channel(*lo, i), channel = i;
    }
    std::sort(part.begin(), part.end(), [channel](const Rgb& a, const Rgb& b) {
      const auto key = [channel](const Rgb& c) {
        return std::array{Channel(c, channel), c.r, c.g, c.b};
      };
      return key(a) < key(b);
    });
    // Split between two different values next to the middle.
    std::size_t cut = part.size() / 2;
    while (cut < part.size() && cut > 0 && Channel(part[cut], channel) == Channel(part[cut - 1], channel)) ++cut;
    if (cut == part.size()) {
      cut = part.size() / 2;
      while (cut > 0 && Channel(part[cut], channel) == Channel(part[cut - 1], channel)) --cut;
    }
    const std::size_t middle = box.begin + cut;
    *worst = Box{box.begin, middle, SquaredError(part.first(cut))};
    boxes.push_back(Box{middle, box.end, SquaredError(part.subspan(cut))});
  }
  std::vector<Rgb> palette;
  for (const Box& box : boxes) {
    palette.push_back(Mean(std::span<const Rgb>(pixels).subspan(box.begin, box.end - box.begin)));
  }
  // k-means passes: every colour to its nearest entry, every entry to the
  // mean of its colours.
  for (int pass = 0; pass < 4; ++pass) {
    std::vector<std::array<long long, 4>> sums(palette.size(), {0, 0, 0, 0});
    for (const Rgb& c : pixels) {
      auto& s = sums[static_cast<std::size_t>(Nearest(palette, c))];
      s[0] += c.r, s[1] += c.g, s[2] += c.b, s[3] += 1;
    }
    for (std::size_t i = 0; i < palette.size(); ++i) {
      const long long n = sums[i][3];
      if (n == 0) continue;
      palette[i] = {static_cast<int>((sums[i][0] + n / 2) / n), static_cast<int>((sums[i][1] + n / 2) / n),
                    static_cast<int>((sums[i][2] + n / 2) / n)};
    }
  }
  // Darkest first, unused entries black.
  std::sort(palette.begin(), palette.end(), [](const Rgb& a, const Rgb& b) {
    return std::array{a.r * 299 + a.g * 587 + a.b * 114, a.r, a.g, a.b} <
           std::array{b.r * 299 + b.g * 587 + b.b * 114, b.r, b.g, b.b};
  });
  palette.erase(std::unique(palette.begin(), palette.end()), palette.end());
  palette.resize(kColours);
  return palette;
}

// ---- The file ------------------------------------------------------------

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

std::vector<std::uint8_t> BitmapFile(const std::vector<Rgb>& palette, const std::vector<std::uint8_t>& indices) {
  constexpr std::uint32_t kPixelOffset = 14 + 40 + kColours * 4;  // 1078
  constexpr std::uint32_t kStride = (kWidth + 3) / 4 * 4;
  constexpr std::uint32_t kImageSize = kStride * kHeight;
  std::vector<std::uint8_t> out;
  // BITMAPFILEHEADER
  out.push_back('B'), out.push_back('M');
  Put32(out, kPixelOffset + kImageSize);
  Put32(out, 0);
  Put32(out, kPixelOffset);
  // BITMAPINFOHEADER
  Put32(out, 40);
  Put32(out, kWidth);
  Put32(out, kHeight);  // positive: bottom row first
  Put16(out, 1);
  Put16(out, 8);
  Put32(out, 0);  // BI_RGB
  Put32(out, kImageSize);
  Put32(out, 3780);  // 96 dots per inch
  Put32(out, 3780);
  Put32(out, kColours);
  Put32(out, 0);
  for (const Rgb& c : palette) {
    out.push_back(static_cast<std::uint8_t>(c.b));
    out.push_back(static_cast<std::uint8_t>(c.g));
    out.push_back(static_cast<std::uint8_t>(c.r));
    out.push_back(0);
  }
  for (int y = kHeight - 1; y >= 0; --y) {
    const auto row = indices.begin() + static_cast<std::ptrdiff_t>(y) * kWidth;
    out.insert(out.end(), row, row + kWidth);
    out.resize(out.size() + (kStride - kWidth), 0);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: wave_picture OUTPUT.bmp\n");
    return 2;
  }
  std::vector<Rgb> pixels;
  pixels.reserve(static_cast<std::size_t>(kWidth) * kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      Colour sum;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Colour c = Scene(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
          sum.r += c.r, sum.g += c.g, sum.b += c.b;
        }
      }
      constexpr double kCount = kSamples * kSamples;
      const auto level = [](double v) { return std::clamp(static_cast<int>(std::floor(v / kCount + 0.5)), 0, 255); };
      pixels.push_back({level(sum.r), level(sum.g), level(sum.b)});
    }
  }
  const std::vector<Rgb> palette = MakePalette(pixels);
  std::vector<std::uint8_t> indices;
  indices.reserve(pixels.size());
  for (const Rgb& c : pixels) indices.push_back(static_cast<std::uint8_t>(Nearest(palette, c)));

  const std::vector<std::uint8_t> file = BitmapFile(palette, indices);
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out) {
    std::fprintf(stderr, "wave_picture: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
