// Draws the program's icon and mouse cursor and writes them as Windows icon
// and cursor files:
//
//   icon_gen OUT_ICO OUT_CUR
//
// The icon is a calendar page (red band with two binder rings over a white
// page) carrying a grain stalk shaped like the character 禾. OUT_ICO holds 12
// images: 16, 24, 32 and 48 px each at 8 and at 32 bits per pixel, then 64,
// 72, 96 and 128 px at 32 bits per pixel; the last one (128 px, 32 bits) is
// the one the tray icon is made from. OUT_CUR holds one 32 x 32 pointer at
// 8 bits per pixel with its hot spot at (11, 7).
//
// Every image is stored the way the oldest readers expect: a
// BITMAPINFOHEADER with the doubled height, the colour (XOR) bitmap, then
// the 1-bit AND mask, rows bottom-up and padded to 4 bytes. No PNG.
//
// Shapes are inside-tests sampled 8 x 8 times per pixel at fixed points and
// averaged with integers; only + - * /, sqrt and rounding touch floating
// point, so every run writes the same bytes. Edges of rectangles and straight
// strokes snap to whole pixels, and at 16 and 24 px the stalk is drawn pixel
// by pixel, so that the small sizes stay crisp.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

// ---- Colours and images --------------------------------------------------

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

struct Pixel {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;  // straight (not premultiplied) alpha
};

struct Image {
  int size = 0;               // square, in pixels
  std::vector<Pixel> pixels;  // rows top-down

  explicit Image(int side) : size(side), pixels(static_cast<std::size_t>(side * side)) {}
  Pixel& At(int x, int y) { return pixels[static_cast<std::size_t>(y * size + x)]; }
  const Pixel& At(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
};

// The icon's colours. The 8-bit palette carries them exactly, so flat areas
// look the same at both depths.
constexpr Rgb kBand{214, 48, 39};         // calendar red
constexpr Rgb kBandEdge{140, 28, 22};     // outline of the band
constexpr Rgb kBandShade{176, 34, 28};    // ring holes, the band's lower line
constexpr Rgb kPage{255, 255, 255};
constexpr Rgb kPageShade{226, 232, 228};  // the page's foot
constexpr Rgb kPageEdge{112, 118, 124};   // outline of the page
constexpr Rgb kRing{74, 80, 88};          // binder rings
constexpr Rgb kRingLight{170, 178, 186};  // their highlight
constexpr Rgb kStem{36, 142, 62};         // stalk and leaves
constexpr Rgb kLeafLight{96, 184, 72};
constexpr Rgb kEar{226, 158, 24};         // ripe grain
constexpr Rgb kEarDark{178, 112, 10};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

constexpr std::array kDesignColours{kBand,     kBandEdge, kBandShade, kPageShade, kPageEdge, kRing,
                                    kRingLight, kStem,    kLeafLight, kEar,       kEarDark};

// ---- The 8-bit palette ---------------------------------------------------

// 216 colours of the 6 x 6 x 6 cube (index 0 is black, which transparent
// pixels need: the screen is ANDed with the mask, then XORed with the
// colour), the design colours, then greys up to 256 entries.
using Palette = std::array<Rgb, 256>;

Palette MakePalette() {
  Palette palette{};
  std::size_t n = 0;
  for (int r = 0; r < 6; ++r) {
    for (int g = 0; g < 6; ++g) {
      for (int b = 0; b < 6; ++b) {
        palette[n++] = {static_cast<std::uint8_t>(r * 51), static_cast<std::uint8_t>(g * 51),
                        static_cast<std::uint8_t>(b * 51)};
      }
    }
  }
  for (const Rgb& c : kDesignColours) palette[n++] = c;
  // Greys between the cube's six, evenly spread over (0, 255).
  const std::size_t greys = palette.size() - n;
  for (std::size_t i = 0; i < greys; ++i) {
    const auto v = static_cast<std::uint8_t>((255 * (i + 1) + (greys + 1) / 2) / (greys + 1));
    palette[n++] = {v, v, v};
  }
  return palette;
}

// Nearest entry by squared distance weighted for the eye (2 : 4 : 3);
// the first of equals wins.
std::uint8_t NearestIndex(const Palette& palette, Pixel p) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < static_cast<int>(palette.size()); ++i) {
    const Rgb& c = palette[static_cast<std::size_t>(i)];
    const long dr = p.r - c.r, dg = p.g - c.g, db = p.b - c.b;
    const long distance = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return static_cast<std::uint8_t>(best);
}

// ---- Shapes --------------------------------------------------------------

// Coordinates are in pixels of the image being drawn, y down; a pixel (x, y)
// covers [x, x + 1) x [y, y + 1).
using Shape = std::function<bool(double x, double y)>;

Shape RoundRect(double x0, double y0, double x1, double y1, double radius) {
  return [=](double x, double y) {
    if (x < x0 || x >= x1 || y < y0 || y >= y1) return false;
    const double cx = std::clamp(x, x0 + radius, x1 - radius);
    const double cy = std::clamp(y, y0 + radius, y1 - radius);
    const double dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
  };
}

Shape Disc(double cx, double cy, double radius) {
  return [=](double x, double y) {
    const double dx = x - cx, dy = y - cy;
    return dx * dx + dy * dy <= radius * radius;
  };
}

double SegmentDistanceSquared(double x, double y, double ax, double ay, double bx, double by) {
  const double vx = bx - ax, vy = by - ay;
  const double wx = x - ax, wy = y - ay;
  const double length2 = vx * vx + vy * vy;
  const double t = length2 > 0 ? std::clamp((wx * vx + wy * vy) / length2, 0.0, 1.0) : 0.0;
  const double dx = wx - t * vx, dy = wy - t * vy;
  return dx * dx + dy * dy;
}

struct Point {
  double x = 0, y = 0;
};

// A stroke of the given width with round ends along a polyline.
Shape Stroke(std::vector<Point> points, double width) {
  const double r2 = width * width / 4;
  return [points = std::move(points), r2](double x, double y) {
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
      const Point& a = points[i];
      const Point& b = points[i + 1];
      if (SegmentDistanceSquared(x, y, a.x, a.y, b.x, b.y) <= r2) return true;
    }
    return false;
  };
}

// A pointed leaf from a to b, `half` wide at its middle: the lens where two
// discs overlap.
Shape Leaf(Point a, Point b, double half) {
  const double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = std::sqrt(dx * dx + dy * dy);
  const double nx = -dy / length, ny = dx / length;
  const double chordHalf = length / 2;
  const double radius = (half * half + chordHalf * chordHalf) / (2 * half);
  const double offset = radius - half;
  return [=](double x, double y) {
    const double ax = x - (mx + nx * offset), ay = y - (my + ny * offset);
    const double bx = x - (mx - nx * offset), by = y - (my - ny * offset);
    return ax * ax + ay * ay <= radius * radius && bx * bx + by * by <= radius * radius;
  };
}

// An ellipse with semi-axes a along the unit direction (ux, uy) and b across.
Shape Ellipse(Point c, double a, double b, double ux, double uy) {
  return [=](double x, double y) {
    const double px = x - c.x, py = y - c.y;
    const double along = px * ux + py * uy;
    const double across = -px * uy + py * ux;
    return along * along / (a * a) + across * across / (b * b) <= 1;
  };
}

Shape And(Shape first, Shape second) {
  return [=](double x, double y) { return first(x, y) && second(x, y); };
}

Shape Below(double edge) {
  return [=](double, double y) { return y >= edge; };
}

Shape Above(double edge) {
  return [=](double, double y) { return y < edge; };
}

Point CurveAt(Point p0, Point p1, Point p2, double t) {
  const double u = 1 - t;
  return {u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y};
}

// The unit tangent of the curve at t, pointing towards p2.
Point CurveDirection(Point p0, Point p1, Point p2, double t) {
  const double dx = (1 - t) * (p1.x - p0.x) + t * (p2.x - p1.x);
  const double dy = (1 - t) * (p1.y - p0.y) + t * (p2.y - p1.y);
  const double length = std::sqrt(dx * dx + dy * dy);
  return {dx / length, dy / length};
}

// A quadratic Bezier curve flattened into `steps` segments.
std::vector<Point> Curve(Point p0, Point p1, Point p2, int steps) {
  std::vector<Point> points;
  for (int i = 0; i <= steps; ++i) points.push_back(CurveAt(p0, p1, p2, static_cast<double>(i) / steps));
  return points;
}

// ---- Supersampled canvas -------------------------------------------------

constexpr int kSamples = 8;  // per pixel side

class Canvas {
 public:
  explicit Canvas(int size)
      : size_(size), side_(size * kSamples), samples_(static_cast<std::size_t>(side_ * side_)) {}

  // Paints every sample inside the shape, opaque.
  void Fill(const Shape& shape, Rgb colour) {
    for (int sy = 0; sy < side_; ++sy) {
      const double y = (sy + 0.5) / kSamples;
      for (int sx = 0; sx < side_; ++sx) {
        const double x = (sx + 0.5) / kSamples;
        if (shape(x, y)) samples_[static_cast<std::size_t>(sy * side_ + sx)] = {colour.r, colour.g, colour.b, 255};
      }
    }
  }

  // Each pixel: alpha from the share of painted samples, colour their mean.
  Image Resolve() const {
    Image image(size_);
    constexpr int kCount = kSamples * kSamples;
    for (int y = 0; y < size_; ++y) {
      for (int x = 0; x < size_; ++x) {
        int painted = 0, r = 0, g = 0, b = 0;
        for (int j = 0; j < kSamples; ++j) {
          for (int i = 0; i < kSamples; ++i) {
            const Pixel& s = samples_[static_cast<std::size_t>((y * kSamples + j) * side_ + x * kSamples + i)];
            if (s.a == 0) continue;
            ++painted;
            r += s.r;
            g += s.g;
            b += s.b;
          }
        }
        if (painted == 0) continue;
        const int half = painted / 2;
        image.At(x, y) = {static_cast<std::uint8_t>((r + half) / painted), static_cast<std::uint8_t>((g + half) / painted),
                          static_cast<std::uint8_t>((b + half) / painted),
                          static_cast<std::uint8_t>((painted * 255 + kCount / 2) / kCount)};
      }
    }
    return image;
  }

 private:
  int size_;
  int side_;
  std::vector<Pixel> samples_;
};

// ---- The icon ------------------------------------------------------------

// Maps the 128-unit design grid onto an image of `size` pixels.
struct Grid {
  int size;

  double Scale(double u) const { return u * size / 128; }
  // A shape edge, on a pixel boundary.
  double Edge(double u) const { return std::round(Scale(u)); }
  // A stroke width, whole pixels, at least one.
  double Width(double u) const { return std::max(1.0, std::round(Scale(u))); }
  // The centre line of a straight stroke of the given width: odd widths sit
  // on a pixel centre, even ones on a boundary.
  double Centre(double u, double width) const {
    const double c = Scale(u);
    return static_cast<int>(width) % 2 == 1 ? std::floor(c) + 0.5 : std::round(c);
  }
};

// The stalk at 16 and 24 px, pixel for pixel over the whole image:
// g stem and leaves, e ear, d ear's shade, '.' untouched.
constexpr std::array<std::string_view, 16> kMark16{
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    "................",
    ".....eeeg.......",
    "...ddd..g.......",
    "...ggggggggggg..",
    ".......ggg......",
    "......g.g.g.....",
    ".....g..g..g....",
    "....g...g...g...",
    "................",
    "................",
};

constexpr std::array<std::string_view, 24> kMark24{
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    "........................",
    ".......eeeegg...........",
    ".....eeeee.gg...........",
    "...ddddd...gg...........",
    "...dd......gg...........",
    ".....gggggggggggggg.....",
    ".....gggggggggggggg.....",
    ".........gggggg.........",
    "........gg.gg.gg........",
    ".......gg..gg..gg.......",
    "......gg...gg...gg......",
    ".....gg....gg....gg.....",
    "........................",
    "........................",
    "........................",
};

void PaintPixels(Image& image, std::span<const std::string_view> rows) {
  for (std::size_t y = 0; y < rows.size(); ++y) {
    for (std::size_t x = 0; x < rows[y].size(); ++x) {
      Rgb c;
      switch (rows[y][x]) {
        case 'g': c = kStem; break;
        case 'e': c = kEar; break;
        case 'd': c = kEarDark; break;
        default: continue;
      }
      image.At(static_cast<int>(x), static_cast<int>(y)) = {c.r, c.g, c.b, 255};
    }
  }
}

Image DrawIcon(int size) {
  const Grid g{size};
  Canvas canvas(size);
  const bool small = size <= 24;

  // The page: an outlined rounded square, red band on top.
  const double left = g.Edge(2), right = size - left;
  const double top = g.Edge(14), bottom = g.Edge(124);
  const double edge = g.Width(5);
  const double radius = std::max(1.5, g.Scale(16));
  const double bandBottom = g.Edge(46);
  const Shape outer = RoundRect(left, top, right, bottom, radius);
  const Shape inner = RoundRect(left + edge, top + edge, right - edge, bottom - edge, std::max(0.5, radius - edge));
  canvas.Fill(And(outer, Above(bandBottom)), kBandEdge);
  canvas.Fill(And(outer, Below(bandBottom)), kPageEdge);
  canvas.Fill(And(inner, Above(bandBottom)), kBand);
  canvas.Fill(And(inner, Below(bandBottom)), kPage);
  if (!small) {
    const double line = g.Width(3);
    canvas.Fill(And(inner, And(Below(bandBottom - line), Above(bandBottom))), kBandShade);
    canvas.Fill(And(inner, Below(bottom - edge - g.Width(6))), kPageShade);
  }

  // Two binder rings from holes in the band up over its top edge.
  const double ringWidth = g.Width(11);
  const double ringLeft = g.Centre(36, ringWidth);
  for (const double cx : {ringLeft, size - ringLeft}) {
    const double ringTop = g.Edge(4);
    const double ringBottom = g.Edge(small ? 38 : 32);
    if (!small) canvas.Fill(Disc(cx, ringBottom, g.Scale(9)), kBandShade);
    canvas.Fill(RoundRect(cx - ringWidth / 2, ringTop, cx + ringWidth / 2, ringBottom, std::min(ringWidth / 2, g.Scale(5))),
                kRing);
    if (!small) {
      const double light = g.Width(3);
      canvas.Fill(RoundRect(cx - ringWidth / 2 + light, ringTop + light, cx - ringWidth / 2 + 2 * light,
                            ringBottom - 2 * light, light / 2),
                  kRingLight);
    }
  }

  // The grain stalk, shaped like 禾: a stem, a drooping ear on top (丿), a
  // pair of leaves across (一) and two leaves down and out (丿 丶). Small
  // sizes get it drawn pixel by pixel after the page.
  if (small) {
    Image image = canvas.Resolve();
    PaintPixels(image, size == 16 ? std::span<const std::string_view>(kMark16) : std::span<const std::string_view>(kMark24));
    return image;
  }
  const auto p = [&](double x, double y) { return Point{g.Scale(x), g.Scale(y)}; };
  const double stemWidth = g.Width(7);
  const double stemX = g.Centre(66, stemWidth);
  canvas.Fill(RoundRect(stemX - stemWidth / 2, g.Edge(68), stemX + stemWidth / 2, g.Edge(116), stemWidth / 2), kStem);
  canvas.Fill(Leaf({stemX, g.Scale(82)}, p(30, 74), g.Scale(6)), kLeafLight);
  canvas.Fill(Leaf({stemX, g.Scale(82)}, p(102, 74), g.Scale(6)), kLeafLight);
  canvas.Fill(Leaf({stemX, g.Scale(88)}, p(32, 113), g.Scale(6.5)), kStem);
  canvas.Fill(Leaf({stemX, g.Scale(88)}, p(100, 113), g.Scale(6.5)), kStem);
  // The ear: the stem bends over and hangs to the left, carrying pairs of
  // grains that lean forward along it and one grain at its tip. Each grain
  // has a darker rim, which also parts it from the grain before.
  const Point spine0{stemX, g.Scale(70)}, spine1 = p(66, 47), spine2 = p(34, 62);
  canvas.Fill(Stroke(Curve(spine0, spine1, spine2, 16), g.Width(4)), kStem);
  const double rim = g.Scale(1.2);
  const auto grain = [&](Point centre, double along, double across, Point direction) {
    canvas.Fill(Ellipse(centre, along + rim, across + rim, direction.x, direction.y), kEarDark);
    canvas.Fill(Ellipse(centre, along, across, direction.x, direction.y), kEar);
  };
  for (const double t : {0.40, 0.58, 0.74, 0.88}) {
    const Point at = CurveAt(spine0, spine1, spine2, t);
    const Point along = CurveDirection(spine0, spine1, spine2, t);
    const double grainLong = g.Scale(7 - 2 * t), grainShort = g.Scale(3.6 - t);
    // Leaning 40 degrees out to either side (cos 0.766, sin 0.643).
    for (const double side : {-1.0, 1.0}) {
      const Point lean{0.766 * along.x - side * 0.643 * along.y, 0.766 * along.y + side * 0.643 * along.x};
      grain({at.x + lean.x * grainLong * 0.8, at.y + lean.y * grainLong * 0.8}, grainLong, grainShort, lean);
    }
  }
  const Point tip = CurveAt(spine0, spine1, spine2, 1);
  const Point tipAlong = CurveDirection(spine0, spine1, spine2, 1);
  const double tipLong = g.Scale(5), tipShort = g.Scale(2.6);
  grain({tip.x + tipAlong.x * tipLong * 0.6, tip.y + tipAlong.y * tipLong * 0.6}, tipLong, tipShort, tipAlong);
  return canvas.Resolve();
}

// ---- The cursor ----------------------------------------------------------

constexpr int kCursorSize = 32;
constexpr int kHotX = 11, kHotY = 7;

// The pointer drawn pixel by pixel from its tip at (kHotX, kHotY):
// K outline, W fill, G leaf, g the leaf's rim, '.' transparent. The tail
// steps one column every two rows; the leaf sprouts from its right side.
constexpr std::array<std::string_view, 20> kPointer{
    "K..............",
    "KK.............",
    "KWK............",
    "KWWK...........",
    "KWWWK..........",
    "KWWWWK.........",
    "KWWWWWK........",
    "KWWWWWWK.......",
    "KWWWWWWWK......",
    "KWWWWWWWWK.....",
    "KWWWWWKKKKK....",
    "KWWKWWK.....ggg",
    "KWKKWWK....gGGg",
    "KK..KWWK..gGGGg",
    "K...KWWK..gGGg.",
    ".....KWWKgGgg..",
    ".....KWWKg.....",
    "......KWWK.....",
    "......KWWK.....",
    ".......KK......",
};

Image DrawCursor() {
  Image image(kCursorSize);
  for (std::size_t row = 0; row < kPointer.size(); ++row) {
    for (std::size_t col = 0; col < kPointer[row].size(); ++col) {
      Rgb c;
      switch (kPointer[row][col]) {
        case 'K': c = kBlack; break;
        case 'W': c = kWhite; break;
        case 'G': c = kLeafLight; break;
        case 'g': c = kStem; break;
        default: continue;
      }
      image.At(kHotX + static_cast<int>(col), kHotY + static_cast<int>(row)) = {c.r, c.g, c.b, 255};
    }
  }
  return image;
}

// ---- Icon and cursor files -----------------------------------------------

class Bytes {
 public:
  void U8(unsigned v) { data_.push_back(static_cast<std::uint8_t>(v)); }
  void U16(unsigned v) {
    U8(v & 0xFF);
    U8(v >> 8 & 0xFF);
  }
  void U32(std::uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Append(const std::vector<std::uint8_t>& more) { data_.insert(data_.end(), more.begin(), more.end()); }
  std::size_t Size() const { return data_.size(); }
  const std::vector<std::uint8_t>& Data() const { return data_; }

 private:
  std::vector<std::uint8_t> data_;
};

constexpr std::uint32_t kInfoHeaderSize = 40;  // BITMAPINFOHEADER
constexpr std::uint32_t kDirectorySize = 6;    // ICONDIR
constexpr std::uint32_t kEntrySize = 16;       // ICONDIRENTRY

std::uint32_t RowStride(int bits) { return static_cast<std::uint32_t>((bits + 31) / 32 * 4); }

// One image as stored in an icon or cursor file: BITMAPINFOHEADER (height
// doubled for the mask), palette for 8 bits, colour rows, AND-mask rows.
// A mask bit of 1 lets the screen show through.
std::vector<std::uint8_t> EncodeImage(const Image& image, int bitsPerPixel, const Palette& palette) {
  const int n = image.size;
  const std::uint32_t colourStride = RowStride(n * bitsPerPixel);
  const std::uint32_t maskStride = RowStride(n);
  const auto rows = static_cast<std::uint32_t>(n);
  Bytes out;
  out.U32(kInfoHeaderSize);
  out.U32(rows);
  out.U32(2 * rows);
  out.U16(1);  // planes
  out.U16(static_cast<unsigned>(bitsPerPixel));
  out.U32(0);  // BI_RGB
  out.U32((colourStride + maskStride) * rows);
  out.U32(0);  // pixels per metre, x and y
  out.U32(0);
  out.U32(0);  // colours used: all the bit depth allows
  out.U32(0);  // important colours: all
  if (bitsPerPixel == 8) {
    for (const Rgb& c : palette) {
      out.U8(c.b);
      out.U8(c.g);
      out.U8(c.r);
      out.U8(0);
    }
  }
  // An 8-bit image has no alpha: half-covered pixels count as opaque.
  const auto transparent = [&](const Pixel& p) { return bitsPerPixel == 8 ? p.a < 128 : p.a == 0; };
  for (int y = n - 1; y >= 0; --y) {
    std::uint32_t written = 0;
    for (int x = 0; x < n; ++x) {
      const Pixel& p = image.At(x, y);
      if (bitsPerPixel == 8) {
        out.U8(transparent(p) ? 0 : NearestIndex(palette, p));
        written += 1;
      } else {
        const bool clear = p.a == 0;
        out.U8(clear ? 0 : p.b);
        out.U8(clear ? 0 : p.g);
        out.U8(clear ? 0 : p.r);
        out.U8(p.a);
        written += 4;
      }
    }
    for (; written < colourStride; ++written) out.U8(0);
  }
  for (int y = n - 1; y >= 0; --y) {
    for (std::uint32_t byte = 0; byte < maskStride; ++byte) {
      unsigned bits = 0;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = static_cast<int>(byte) * 8 + bit;
        if (x < n && transparent(image.At(x, y))) bits |= 0x80u >> bit;
      }
      out.U8(bits);
    }
  }
  return out.Data();
}

struct Entry {
  const Image* image;
  int bitsPerPixel;
};

// ICONDIR, one ICONDIRENTRY per image, then the images. For a cursor
// (type 2) the entry's planes and bit count fields hold the hot spot.
std::vector<std::uint8_t> EncodeFile(unsigned type, std::span<const Entry> entries, const Palette& palette) {
  std::vector<std::vector<std::uint8_t>> encoded;
  for (const Entry& e : entries) encoded.push_back(EncodeImage(*e.image, e.bitsPerPixel, palette));
  Bytes out;
  out.U16(0);
  out.U16(type);
  out.U16(static_cast<unsigned>(entries.size()));
  auto offset = static_cast<std::uint32_t>(kDirectorySize + kEntrySize * entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int n = entries[i].image->size;
    out.U8(n >= 256 ? 0 : static_cast<unsigned>(n));
    out.U8(n >= 256 ? 0 : static_cast<unsigned>(n));
    out.U8(0);  // colour count: 0 for 8 bits and more
    out.U8(0);
    if (type == 2) {
      out.U16(kHotX);
      out.U16(kHotY);
    } else {
      out.U16(1);
      out.U16(static_cast<unsigned>(entries[i].bitsPerPixel));
    }
    out.U32(static_cast<std::uint32_t>(encoded[i].size()));
    out.U32(offset);
    offset += static_cast<std::uint32_t>(encoded[i].size());
  }
  for (const auto& image : encoded) out.Append(image);
  return out.Data();
}

// ---- Reading our own output back -----------------------------------------

struct Expected {
  int size;
  int bitsPerPixel;
};

std::uint32_t Read(const std::vector<std::uint8_t>& file, std::size_t at, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | file[at + static_cast<std::size_t>(i)];
  return v;
}

// Walks the written bytes the way a reader would; returns what is wrong or
// an empty text.
std::string Validate(const std::vector<std::uint8_t>& file, unsigned type, std::span<const Expected> expected) {
  if (file.size() < kDirectorySize) return "shorter than its directory";
  if (Read(file, 0, 2) != 0 || Read(file, 2, 2) != type) return "bad directory header";
  if (Read(file, 4, 2) != expected.size()) return "wrong image count";
  std::size_t next = kDirectorySize + kEntrySize * expected.size();
  if (file.size() < next) return "directory cut short";
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const std::string which = "image " + std::to_string(i) + ": ";
    const std::size_t e = kDirectorySize + kEntrySize * i;
    const auto n = static_cast<std::uint32_t>(expected[i].size);
    const auto bits = static_cast<std::uint32_t>(expected[i].bitsPerPixel);
    if (Read(file, e, 1) != n || Read(file, e + 1, 1) != n) return which + "wrong size in directory";
    if (Read(file, e + 2, 1) != 0 || Read(file, e + 3, 1) != 0) return which + "colour count or reserved byte set";
    if (type == 2 && (Read(file, e + 4, 2) != kHotX || Read(file, e + 6, 2) != kHotY)) return which + "wrong hot spot";
    if (type == 1 && (Read(file, e + 4, 2) != 1 || Read(file, e + 6, 2) != bits)) return which + "wrong planes or depth";
    const std::uint32_t length = Read(file, e + 8, 4);
    const std::uint32_t offset = Read(file, e + 12, 4);
    if (offset != next) return which + "not where the previous one ends";
    const std::uint32_t palette = bits == 8 ? 256 * 4 : 0;
    const std::uint32_t expectedLength = kInfoHeaderSize + palette + (RowStride(static_cast<int>(n * bits)) + RowStride(static_cast<int>(n))) * n;
    if (length != expectedLength || offset + length > file.size()) return which + "wrong byte count";
    if (Read(file, offset, 4) != kInfoHeaderSize || Read(file, offset + 4, 4) != n || Read(file, offset + 8, 4) != 2 * n ||
        Read(file, offset + 12, 2) != 1 || Read(file, offset + 14, 2) != bits || Read(file, offset + 16, 4) != 0) {
      return which + "bad BITMAPINFOHEADER";
    }
    next = offset + length;
  }
  if (next != file.size()) return "trailing bytes";
  return {};
}

bool WriteFile(const char* path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: icon_gen OUT_ICO OUT_CUR\n");
    return 2;
  }
  const Palette palette = MakePalette();

  // The icon: two depths for the sizes old displays use, full colour above;
  // the 128 px image stays last (the tray icon is made from it).
  constexpr std::array<Expected, 12> kIconImages{{{16, 8},
                                                  {16, 32},
                                                  {24, 8},
                                                  {24, 32},
                                                  {32, 8},
                                                  {32, 32},
                                                  {48, 8},
                                                  {48, 32},
                                                  {64, 32},
                                                  {72, 32},
                                                  {96, 32},
                                                  {128, 32}}};
  std::vector<Image> drawn;
  drawn.reserve(kIconImages.size());
  std::vector<Entry> entries;
  for (const Expected& e : kIconImages) {
    if (drawn.empty() || drawn.back().size != e.size) drawn.push_back(DrawIcon(e.size));
    entries.push_back({&drawn.back(), e.bitsPerPixel});
  }
  const std::vector<std::uint8_t> icon = EncodeFile(1, entries, palette);

  const Image pointer = DrawCursor();
  const std::array<Entry, 1> cursorEntries{{{&pointer, 8}}};
  constexpr std::array<Expected, 1> kCursorImages{{{kCursorSize, 8}}};
  const std::vector<std::uint8_t> cursor = EncodeFile(2, cursorEntries, palette);

  for (const auto& [bytes, type, expected, name] :
       {std::tuple{&icon, 1u, std::span<const Expected>(kIconImages), "icon"},
        std::tuple{&cursor, 2u, std::span<const Expected>(kCursorImages), "cursor"}}) {
    const std::string problem = Validate(*bytes, type, expected);
    if (!problem.empty()) {
      std::fprintf(stderr, "icon_gen: the %s came out wrong: %s\n", name, problem.c_str());
      return 1;
    }
  }
  if (!WriteFile(argv[1], icon) || !WriteFile(argv[2], cursor)) {
    std::fprintf(stderr, "icon_gen: cannot write %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  return 0;
}
