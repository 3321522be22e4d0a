#pragma once
// The program's icon, drawn from geometry and packed the way Windows keeps icons inside an
// executable: one RT_ICON resource per image (a DIB with its AND mask, as in a .ico file) and
// one RT_GROUP_ICON directory that names them by resource ID.
//
// Everything here is integer arithmetic, so the bytes come out the same on every compiler and
// machine; the committed icon files are compared against a fresh run.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnok::icons {

// Lengths of the drawing are kept in 1/32 of a pixel: supersample positions are then odd
// integers and every inside test is an exact integer comparison.
inline constexpr int kUnitsPerPixel = 32;

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Straight (not premultiplied) colours, top row first.
struct Picture {
  int size = 0;
  std::vector<Rgba> pixels;
  const Rgba& at(int x, int y) const { return pixels[static_cast<std::size_t>(y * size + x)]; }
};

// Where the parts of the picture lie at one size, in 1/32 pixel, y growing downwards.
struct Layout {
  int centre_x;
  int badge_centre_y;
  int badge_radius;
  int rim_width;
  int ring_centre_y;
  int ring_radius;   // middle of the stroke
  int half_stroke;   // of the ring and of the bar alike
  int bar_top_y;     // centres of the bar's round ends
  int bar_bottom_y;
  // The opening at the top of the ring, as a Pythagorean triple so that its edges are exact:
  // the ring is cut where |dx| * gap_cos < -dy * gap_sin.
  int gap_sin;
  int gap_cos;
  int gap_hypotenuse;
};

Layout layout_for(int size);

// The artwork at size x size pixels, anti-aliased with 16 x 16 samples per pixel.
Picture draw(int size);

// Colour distance the 16-colour reduction minimises.
int colour_distance(Rgba a, Rgba b);

// An icon image as stored in RT_ICON: BITMAPINFOHEADER (height doubled for the mask), the
// palette for 4 bits per pixel, the colour rows and then the AND mask rows, both bottom-up.
// bit_count is 4, 24 or 32.
std::vector<std::uint8_t> encode_image(const Picture& picture, int bit_count);

struct IconImage {
  int size;
  int bit_count;
  std::uint16_t resource_id;
  std::vector<std::uint8_t> bytes;
};

inline constexpr std::uint16_t kFirstImageId = 30001;
inline constexpr std::uint16_t kGroupId = 1;

// The twelve images in resource order: 16, 32, 48, 64 pixels, each at 4, 24 and 32 bits.
std::vector<IconImage> build_images();

// The RT_GROUP_ICON directory listing the images in their order.
std::vector<std::uint8_t> build_group_directory(const std::vector<IconImage>& images);

struct OutputFile {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

// icon_30001.bin ... icon_30012.bin, then icon_group.bin.
std::vector<OutputFile> build_output_files();

}  // namespace varnok::icons
