#include "icon_art.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <map>
#include <stdexcept>
#include <utility>

namespace varnok::icons {
namespace {

constexpr int kSamplesPerAxis = 16;
constexpr int kSamplesPerPixel = kSamplesPerAxis * kSamplesPerAxis;

// Lets the layout be written in pixels. Evaluated only at compile time, so no floating point
// reaches the drawing itself.
consteval int px(double pixels) { return static_cast<int>(pixels * kUnitsPerPixel + 0.5); }

constexpr Rgba kSymbol{0xFF, 0xFF, 0xFF, 0xFF};
constexpr Rgba kRim{0x0B, 0x3A, 0x78, 0xFF};
constexpr Rgba kBadgeTop{0x3C, 0xA9, 0xF0, 0xFF};
constexpr Rgba kBadgeBottom{0x12, 0x5A, 0xB4, 0xFF};
// What a 24-bit image's half-covered edge pixels are blended with: the mask makes them fully
// opaque, and mid grey looks least wrong on both light and dark backgrounds.
constexpr Rgba kEdgeBackdrop{0x80, 0x80, 0x80, 0xFF};

constexpr std::array kSizes{16, 32, 48, 64};
constexpr std::array kBitCounts{4, 24, 32};

std::int64_t square(std::int64_t v) { return v * v; }

void put16(std::vector<std::uint8_t>& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

std::size_t row_bytes(int width, int bit_count) {
  const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bit_count);
  return (bits + 31) / 32 * 4;
}

std::uint8_t channel(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

class Shape {
 public:
  explicit Shape(const Layout& layout)
      : l_(layout),
        cap_dx_((layout.ring_radius * layout.gap_sin + layout.gap_hypotenuse / 2) / layout.gap_hypotenuse),
        cap_dy_((layout.ring_radius * layout.gap_cos + layout.gap_hypotenuse / 2) / layout.gap_hypotenuse) {}

  enum class Part { Outside, Badge, Rim, Symbol };

  Part part_at(int x, int y) const {
    const std::int64_t dx = x - l_.centre_x;
    const std::int64_t badge_d2 = square(dx) + square(y - l_.badge_centre_y);
    if (badge_d2 > square(l_.badge_radius)) return Part::Outside;
    if (in_bar(dx, y) || in_ring(dx, y)) return Part::Symbol;
    if (badge_d2 > square(l_.badge_radius - l_.rim_width)) return Part::Rim;
    return Part::Badge;
  }

 private:
  bool in_disc(std::int64_t dx, std::int64_t dy) const { return square(dx) + square(dy) <= square(l_.half_stroke); }

  bool in_bar(std::int64_t dx, int y) const {
    if (y >= l_.bar_top_y && y <= l_.bar_bottom_y) return dx >= -l_.half_stroke && dx <= l_.half_stroke;
    return in_disc(dx, y - l_.bar_top_y) || in_disc(dx, y - l_.bar_bottom_y);
  }

  bool in_ring(std::int64_t dx, int y) const {
    const std::int64_t dy = y - l_.ring_centre_y;
    const std::int64_t d2 = square(dx) + square(dy);
    const bool in_band = d2 >= square(l_.ring_radius - l_.half_stroke) && d2 <= square(l_.ring_radius + l_.half_stroke);
    const std::int64_t abs_dx = dx < 0 ? -dx : dx;
    const bool in_gap = dy < 0 && abs_dx * l_.gap_cos < -dy * l_.gap_sin;
    if (in_band && !in_gap) return true;
    // Round ends where the ring is cut open.
    return in_disc(abs_dx - cap_dx_, dy + cap_dy_);
  }

  Layout l_;
  int cap_dx_;
  int cap_dy_;
};

Rgba badge_colour(const Layout& l, int y) {
  const int top = l.badge_centre_y - l.badge_radius;
  const int span = 2 * l.badge_radius;
  const int t = std::clamp(y - top, 0, span);
  const auto mix = [&](int from, int to) { return channel((from * (span - t) + to * t + span / 2) / span); };
  return {mix(kBadgeTop.r, kBadgeBottom.r), mix(kBadgeTop.g, kBadgeBottom.g), mix(kBadgeTop.b, kBadgeBottom.b), 0xFF};
}

bool transparent_in_mask(const Rgba& pixel) { return pixel.a < 128; }

// The colour a 24- or 4-bit image shows for a pixel its mask leaves visible.
Rgba opaque_colour(const Rgba& pixel) {
  const auto blend = [&](int colour, int backdrop) {
    return channel((colour * pixel.a + backdrop * (255 - pixel.a) + 127) / 255);
  };
  return {blend(pixel.r, kEdgeBackdrop.r), blend(pixel.g, kEdgeBackdrop.g), blend(pixel.b, kEdgeBackdrop.b), 0xFF};
}

// ---- 16-colour reduction: median cut, then a few rounds of k-means, all in integers. ----

struct Tally {
  Rgba colour;
  std::int64_t count;
};

int component(const Rgba& c, int axis) { return axis == 0 ? c.r : axis == 1 ? c.g : c.b; }

bool colour_less(const Rgba& a, const Rgba& b) {
  if (a.r != b.r) return a.r < b.r;
  if (a.g != b.g) return a.g < b.g;
  return a.b < b.b;
}

Rgba weighted_mean(const std::vector<Tally>& tallies) {
  std::int64_t sum[3] = {0, 0, 0};
  std::int64_t total = 0;
  for (const Tally& t : tallies) {
    for (int axis = 0; axis < 3; ++axis) sum[axis] += component(t.colour, axis) * t.count;
    total += t.count;
  }
  const auto mean = [&](int axis) { return channel(static_cast<int>((sum[axis] + total / 2) / total)); };
  return {mean(0), mean(1), mean(2), 0xFF};
}

int widest_axis(const std::vector<Tally>& box, int* range) {
  int best_axis = 0;
  *range = -1;
  for (int axis = 0; axis < 3; ++axis) {
    int lo = 255, hi = 0;
    for (const Tally& t : box) {
      lo = std::min(lo, component(t.colour, axis));
      hi = std::max(hi, component(t.colour, axis));
    }
    if (hi - lo > *range) {
      *range = hi - lo;
      best_axis = axis;
    }
  }
  return best_axis;
}

std::size_t nearest_index(const std::vector<Rgba>& palette, const Rgba& colour) {
  std::size_t nearest = 0;
  for (std::size_t i = 1; i < palette.size(); ++i) {
    if (colour_distance(colour, palette[i]) < colour_distance(colour, palette[nearest])) nearest = i;
  }
  return nearest;
}

std::vector<Rgba> reduce_colours(const std::vector<Tally>& histogram, std::size_t wanted) {
  if (histogram.size() <= wanted) {
    std::vector<Rgba> palette;
    for (const Tally& t : histogram) palette.push_back(t.colour);
    return palette;
  }
  std::vector<std::vector<Tally>> boxes{histogram};
  while (boxes.size() < wanted) {
    std::size_t chosen = boxes.size();
    int chosen_range = 0;
    int chosen_axis = 0;
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].size() < 2) continue;
      int range = 0;
      const int axis = widest_axis(boxes[i], &range);
      if (chosen == boxes.size() || range > chosen_range) {
        chosen = i;
        chosen_range = range;
        chosen_axis = axis;
      }
    }
    if (chosen == boxes.size()) break;
    std::vector<Tally> box = std::move(boxes[chosen]);
    std::sort(box.begin(), box.end(), [&](const Tally& a, const Tally& b) {
      const int ca = component(a.colour, chosen_axis), cb = component(b.colour, chosen_axis);
      return ca != cb ? ca < cb : colour_less(a.colour, b.colour);
    });
    std::int64_t total = 0;
    for (const Tally& t : box) total += t.count;
    std::size_t split = 1;
    std::int64_t running = box[0].count;
    while (split < box.size() - 1 && running * 2 < total) running += box[split++].count;
    boxes[chosen] = std::vector<Tally>(box.begin(), box.begin() + static_cast<std::ptrdiff_t>(split));
    boxes.insert(boxes.begin() + static_cast<std::ptrdiff_t>(chosen) + 1,
                 std::vector<Tally>(box.begin() + static_cast<std::ptrdiff_t>(split), box.end()));
  }
  std::vector<Rgba> palette;
  for (const auto& box : boxes) palette.push_back(weighted_mean(box));

  // Median cut spends entries on the many nearly equal gradient colours; k-means moves them
  // towards what the picture's pixels actually need.
  for (int round = 0; round < 8; ++round) {
    std::vector<std::vector<Tally>> clusters(palette.size());
    for (const Tally& t : histogram) clusters[nearest_index(palette, t.colour)].push_back(t);
    for (std::size_t i = 0; i < palette.size(); ++i) {
      if (!clusters[i].empty()) palette[i] = weighted_mean(clusters[i]);
    }
  }
  return palette;
}

// Entry 0 is black: masked pixels must point at black so that XOR leaves the screen alone.
std::vector<Rgba> palette_for(const Picture& picture) {
  std::map<std::uint32_t, std::int64_t> counts;
  for (const Rgba& pixel : picture.pixels) {
    if (transparent_in_mask(pixel)) continue;
    const Rgba c = opaque_colour(pixel);
    ++counts[(std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b];
  }
  std::vector<Tally> histogram;
  for (const auto& [key, count] : counts) {
    histogram.push_back({{static_cast<std::uint8_t>(key >> 16), static_cast<std::uint8_t>(key >> 8),
                          static_cast<std::uint8_t>(key), 0xFF},
                         count});
  }
  std::vector<Rgba> palette{Rgba{0, 0, 0, 0xFF}};
  for (const Rgba& c : reduce_colours(histogram, 15)) palette.push_back(c);
  palette.resize(16, Rgba{0, 0, 0, 0xFF});
  return palette;
}

}  // namespace

// Hand-tuned per size rather than scaled: at 16 pixels the bar must cover exactly the two
// middle columns and the strokes need to be thicker than proportion to stay readable.
struct SizedLayout {
  int size;
  int badge_radius, rim_width, ring_centre_y, ring_radius, half_stroke, bar_top_y, bar_bottom_y;
  int gap_sin, gap_cos, gap_hypotenuse;
};

// clang-format off
constexpr SizedLayout kLayouts[] = {
  // size  badge      rim        ring centre  ring radius  half stroke  bar top    bar bottom  opening
  {16, px(7.85), px(1.0), px(8.0),  px(4.0),  px(1.0), px(3.0),  px(7.0),   4,  3,  5},
  {32, px(15.6), px(1.5), px(17.0), px(9.0),  px(2.0), px(6.0),  px(15.0), 20, 21, 29},
  {48, px(23.4), px(2.0), px(25.0), px(13.5), px(2.5), px(8.5),  px(22.0), 20, 21, 29},
  {64, px(31.2), px(2.5), px(33.0), px(17.0), px(3.0), px(11.0), px(29.0), 20, 21, 29},
};
// clang-format on

Layout layout_for(int size) {
  for (const SizedLayout& row : kLayouts) {
    if (row.size != size) continue;
    const int centre = size * kUnitsPerPixel / 2;
    return {centre,          centre,         row.badge_radius, row.rim_width, row.ring_centre_y,
            row.ring_radius, row.half_stroke, row.bar_top_y,   row.bar_bottom_y, row.gap_sin,
            row.gap_cos,     row.gap_hypotenuse};
  }
  throw std::invalid_argument("no layout for this icon size");
}

Picture draw(int size) {
  const Layout layout = layout_for(size);
  const Shape shape(layout);
  Picture picture{size, std::vector<Rgba>(static_cast<std::size_t>(size * size))};
  for (int row = 0; row < size; ++row) {
    const Rgba badge = badge_colour(layout, row * kUnitsPerPixel + kUnitsPerPixel / 2);
    for (int column = 0; column < size; ++column) {
      int counts[4] = {0, 0, 0, 0};
      for (int sy = 0; sy < kSamplesPerAxis; ++sy) {
        for (int sx = 0; sx < kSamplesPerAxis; ++sx) {
          const int x = column * kUnitsPerPixel + 2 * sx + 1;
          const int y = row * kUnitsPerPixel + 2 * sy + 1;
          ++counts[static_cast<int>(shape.part_at(x, y))];
        }
      }
      const int covered = kSamplesPerPixel - counts[0];
      if (covered == 0) continue;
      const auto mix = [&](int badge_c, int rim_c, int symbol_c) {
        return channel((counts[1] * badge_c + counts[2] * rim_c + counts[3] * symbol_c + covered / 2) / covered);
      };
      picture.pixels[static_cast<std::size_t>(row * size + column)] = {
          mix(badge.r, kRim.r, kSymbol.r), mix(badge.g, kRim.g, kSymbol.g), mix(badge.b, kRim.b, kSymbol.b),
          channel((covered * 255 + kSamplesPerPixel / 2) / kSamplesPerPixel)};
    }
  }
  return picture;
}

int colour_distance(Rgba a, Rgba b) {
  // Green weighs most and blue least, roughly as the eye sees differences.
  const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
  return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

std::vector<std::uint8_t> encode_image(const Picture& picture, int bit_count) {
  if (bit_count != 4 && bit_count != 24 && bit_count != 32) throw std::invalid_argument("unsupported bit count");
  const int n = picture.size;
  const std::size_t colour_row = row_bytes(n, bit_count);
  const std::size_t mask_row = row_bytes(n, 1);
  const std::size_t image_bytes = (colour_row + mask_row) * static_cast<std::size_t>(n);

  std::vector<std::uint8_t> out;
  put32(out, 40);                                 // biSize
  put32(out, static_cast<std::uint32_t>(n));      // biWidth
  put32(out, static_cast<std::uint32_t>(2 * n));  // biHeight: colour rows and mask rows
  put16(out, 1);                                  // biPlanes
  put16(out, static_cast<unsigned>(bit_count));   // biBitCount
  put32(out, 0);                                  // biCompression: BI_RGB
  put32(out, static_cast<std::uint32_t>(image_bytes));
  put32(out, 0);  // biXPelsPerMeter
  put32(out, 0);  // biYPelsPerMeter
  put32(out, 0);  // biClrUsed: 0 means all 2^bit_count
  put32(out, 0);  // biClrImportant

  std::vector<Rgba> palette;
  if (bit_count == 4) {
    palette = palette_for(picture);
    for (const Rgba& c : palette) {
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
      out.push_back(0);
    }
  }

  for (int y = n - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(colour_row, 0);
    for (int x = 0; x < n; ++x) {
      const Rgba& pixel = picture.at(x, y);
      const std::size_t ux = static_cast<std::size_t>(x);
      if (bit_count == 32) {
        row[4 * ux + 0] = pixel.b;
        row[4 * ux + 1] = pixel.g;
        row[4 * ux + 2] = pixel.r;
        row[4 * ux + 3] = pixel.a;
      } else if (transparent_in_mask(pixel)) {
        // Black in the colour bits: index 0 of the palette, or zero bytes.
      } else if (bit_count == 24) {
        const Rgba c = opaque_colour(pixel);
        row[3 * ux + 0] = c.b;
        row[3 * ux + 1] = c.g;
        row[3 * ux + 2] = c.r;
      } else {
        const auto index = static_cast<std::uint8_t>(nearest_index(palette, opaque_colour(pixel)));
        row[ux / 2] |= static_cast<std::uint8_t>(ux % 2 == 0 ? index << 4 : index);
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }

  for (int y = n - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(mask_row, 0);
    for (int x = 0; x < n; ++x) {
      if (transparent_in_mask(picture.at(x, y))) {
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<IconImage> build_images() {
  std::vector<IconImage> images;
  std::uint16_t id = kFirstImageId;
  for (const int size : kSizes) {
    const Picture picture = draw(size);
    for (const int bit_count : kBitCounts) images.push_back({size, bit_count, id++, encode_image(picture, bit_count)});
  }
  return images;
}

std::vector<std::uint8_t> build_group_directory(const std::vector<IconImage>& images) {
  std::vector<std::uint8_t> out;
  put16(out, 0);  // reserved
  put16(out, 1);  // type: icon
  put16(out, static_cast<unsigned>(images.size()));
  for (const IconImage& image : images) {
    out.push_back(static_cast<std::uint8_t>(image.size == 256 ? 0 : image.size));  // width
    out.push_back(static_cast<std::uint8_t>(image.size == 256 ? 0 : image.size));  // height
    out.push_back(static_cast<std::uint8_t>(image.bit_count == 4 ? 16 : 0));       // colour count
    out.push_back(0);                                                              // reserved
    put16(out, 1);                                                                 // planes
    put16(out, static_cast<unsigned>(image.bit_count));
    put32(out, static_cast<std::uint32_t>(image.bytes.size()));
    put16(out, image.resource_id);
  }
  return out;
}

std::vector<OutputFile> build_output_files() {
  std::vector<IconImage> images = build_images();
  std::vector<OutputFile> files;
  files.reserve(images.size() + 1);
  std::vector<std::uint8_t> directory = build_group_directory(images);
  for (IconImage& image : images) {
    files.push_back({"icon_" + std::to_string(image.resource_id) + ".bin", std::move(image.bytes)});
  }
  files.push_back({"icon_group.bin", std::move(directory)});
  return files;
}

}  // namespace varnok::icons
