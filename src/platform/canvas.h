// The drawing surface shared by screen controls, off-screen bitmaps, image
// files and printer pages. Graphs and tables draw only through it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvaris {

// 0x00BBGGRR, as colours are stored in graph property records.
using Colour = std::uint32_t;

constexpr Colour Rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xff) | ((g & 0xff) << 8) | ((b & 0xff) << 16));
}
constexpr int RedOf(Colour c) { return c & 0xff; }
constexpr int GreenOf(Colour c) { return (c >> 8) & 0xff; }
constexpr int BlueOf(Colour c) { return (c >> 16) & 0xff; }

namespace colours {
constexpr Colour Black = Rgb(0, 0, 0);
constexpr Colour White = Rgb(255, 255, 255);
constexpr Colour Red = Rgb(255, 0, 0);
constexpr Colour Blue = Rgb(0, 0, 255);
constexpr Colour Navy = Rgb(0, 0, 128);
constexpr Colour Window = Rgb(255, 255, 255);
constexpr Colour ButtonFace = Rgb(240, 240, 240);
constexpr Colour ButtonShadow = Rgb(160, 160, 160);
constexpr Colour Silver = Rgb(192, 192, 192);
}  // namespace colours

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

enum class PenStyle { Solid, Dot, Clear };
enum class PenMode { Copy, NotXor };
enum class BrushStyle { Solid, Clear };

enum FontStyle : unsigned {
  fsNone = 0,
  fsBold = 1,
  fsItalic = 2,
  fsUnderline = 4,
};

struct Pen {
  Colour colour = colours::Black;
  int width = 1;  // pixels
  PenStyle style = PenStyle::Solid;
  PenMode mode = PenMode::Copy;
  bool operator==(const Pen&) const = default;
};

struct Brush {
  Colour colour = colours::White;
  BrushStyle style = BrushStyle::Solid;
  bool operator==(const Brush&) const = default;
};

struct Font {
  std::string name = "Arial";
  int size = 8;        // points; used when height is 0
  int height = 0;      // pixels; overrides size when not 0
  Colour colour = colours::Black;
  unsigned style = fsNone;
  int angle = 0;       // tenths of a degree, counter-clockwise
  // Kept for the graph property records; surfaces choose fonts by name.
  int charset = 1;     // the default character set
  int pitch = 0;       // the default pitch
  bool operator==(const Font&) const = default;
};

class Bitmap;

class Canvas {
 public:
  virtual ~Canvas() = default;

  virtual void SetPen(const Pen& pen) = 0;
  virtual void SetBrush(const Brush& brush) = 0;
  virtual void SetFont(const Font& font) = 0;
  virtual const Pen& GetPen() const = 0;
  virtual const Brush& GetBrush() const = 0;
  virtual const Font& GetFont() const = 0;

  virtual void MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;  // the pen ends at (x, y)
  virtual Point PenPos() const = 0;
  // Outline with the pen, inside with the brush (unless the brush is clear).
  virtual void Rectangle(const Rect& r) = 0;
  // Inside with the brush only.
  virtual void FillRect(const Rect& r) = 0;
  virtual void Ellipse(const Rect& r) = 0;
  virtual void Polygon(const std::vector<Point>& points) = 0;

  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual int TextWidth(const std::string& text) = 0;
  virtual int TextHeight(const std::string& text) = 0;

  virtual void SetClip(const Rect& r) = 0;
  virtual void RemoveClip() = 0;

  // A new 24-bit bitmap that can be drawn into and copied onto this surface.
  virtual std::unique_ptr<Bitmap> CreateBitmap(int width, int height) = 0;
  virtual void DrawBitmap(int x, int y, const Bitmap& bitmap) = 0;
  // A small picture from the program's resources, by name.
  virtual void DrawResource(int x, int y, const std::string& name) = 0;

  // Size of the surface in device pixels and its resolution.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int DotsPerInch() const { return 96; }
};

class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual Canvas& Surface() = 0;
};

}  // namespace kelvaris
