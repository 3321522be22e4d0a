// The icon's bytes, read back the way Windows reads an RT_ICON image, by a decoder written
// separately from the encoder: a mistake in row order, nibble order, padding or mask polarity
// shows up as a picture that no longer looks like the artwork.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <vector>

#include "icon_art.h"

namespace {

using varnok::icons::IconImage;
using varnok::icons::Rgba;

std::uint32_t read16(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  if (offset + 2 > bytes.size()) throw std::out_of_range("read past the end");
  return static_cast<std::uint32_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
  return read16(bytes, offset) | (read16(bytes, offset + 2) << 16);
}

std::size_t stride(int width, int bits) { return (static_cast<std::size_t>(width * bits) + 31) / 32 * 4; }

struct Decoded {
  std::uint32_t header_size, planes, bit_count, compression, size_image, colours_used;
  std::int32_t width, height;
  std::vector<Rgba> palette;
  std::vector<Rgba> pixels;        // top row first; alpha is 255 below 32 bits
  std::vector<bool> transparent;   // the AND mask, top row first
  std::vector<int> indices;        // 4 bits per pixel only
  std::size_t expected_size;       // header + palette + colour rows + mask rows

  const Rgba& at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
  bool masked(int x, int y) const { return transparent[static_cast<std::size_t>(y * width + x)]; }
};

Decoded decode(const std::vector<std::uint8_t>& bytes) {
  Decoded d{};
  d.header_size = read32(bytes, 0);
  d.width = static_cast<std::int32_t>(read32(bytes, 4));
  d.height = static_cast<std::int32_t>(read32(bytes, 8));
  d.planes = read16(bytes, 12);
  d.bit_count = read16(bytes, 14);
  d.compression = read32(bytes, 16);
  d.size_image = read32(bytes, 20);
  d.colours_used = read32(bytes, 32);
  if (d.width <= 0 || d.width > 256) throw std::runtime_error("implausible width");
  const int n = d.width;
  const int bits = static_cast<int>(d.bit_count);
  std::size_t offset = d.header_size;
  if (bits == 4) {
    for (int i = 0; i < 16; ++i, offset += 4) {
      if (read32(bytes, offset) >> 24 != 0) throw std::runtime_error("palette reserved byte set");
      d.palette.push_back({bytes[offset + 2], bytes[offset + 1], bytes[offset], 0xFF});
    }
  }
  const std::size_t colour_start = offset;
  const std::size_t mask_start = colour_start + stride(n, bits) * static_cast<std::size_t>(n);
  d.expected_size = mask_start + stride(n, 1) * static_cast<std::size_t>(n);
  if (d.expected_size > bytes.size()) throw std::out_of_range("image shorter than its header says");
  for (int y = 0; y < n; ++y) {
    const std::size_t row = colour_start + stride(n, bits) * static_cast<std::size_t>(n - 1 - y);
    const std::size_t mask_row = mask_start + stride(n, 1) * static_cast<std::size_t>(n - 1 - y);
    for (int x = 0; x < n; ++x) {
      const auto ux = static_cast<std::size_t>(x);
      if (bits == 32) {
        d.pixels.push_back({bytes[row + 4 * ux + 2], bytes[row + 4 * ux + 1], bytes[row + 4 * ux], bytes[row + 4 * ux + 3]});
      } else if (bits == 24) {
        d.pixels.push_back({bytes[row + 3 * ux + 2], bytes[row + 3 * ux + 1], bytes[row + 3 * ux], 0xFF});
      } else if (bits == 4) {
        const int index = x % 2 == 0 ? bytes[row + ux / 2] >> 4 : bytes[row + ux / 2] & 0x0F;
        d.indices.push_back(index);
        d.pixels.push_back(d.palette[static_cast<std::size_t>(index)]);
      } else {
        throw std::runtime_error("unexpected bit count");
      }
      d.transparent.push_back((bytes[mask_row + ux / 8] & (0x80 >> (x % 8))) != 0);
    }
  }
  return d;
}

bool is_white(const Rgba& c) { return c.r >= 240 && c.g >= 240 && c.b >= 240; }
bool is_blue(const Rgba& c) { return c.b >= c.r + 80 && c.b >= 120; }
bool is_black(const Rgba& c) { return c.r == 0 && c.g == 0 && c.b == 0; }

// A pixel given in the layout's 1/32-pixel units.
struct Probe {
  int x, y;
};

Probe pixel_of(int x_units, int y_units) {
  return {x_units / varnok::icons::kUnitsPerPixel, y_units / varnok::icons::kUnitsPerPixel};
}

const std::vector<IconImage>& images() {
  static const std::vector<IconImage> built = varnok::icons::build_images();
  return built;
}

const IconImage& image(int size, int bit_count) {
  for (const IconImage& i : images()) {
    if (i.size == size && i.bit_count == bit_count) return i;
  }
  throw std::out_of_range("no such image");
}

constexpr int kSizes[] = {16, 32, 48, 64};

}  // namespace

TEST(IconImages, AreTwelveUncompressedDibsInResourceOrder) {
  const int expected_bits[] = {4, 24, 32};
  ASSERT_EQ(images().size(), 12u);
  for (std::size_t i = 0; i < images().size(); ++i) {
    const IconImage& img = images()[i];
    SCOPED_TRACE(testing::Message() << "image " << img.resource_id);
    EXPECT_EQ(img.resource_id, 30001 + i);
    EXPECT_EQ(img.size, kSizes[i / 3]);
    EXPECT_EQ(img.bit_count, expected_bits[i % 3]);
    ASSERT_GE(img.bytes.size(), 8u);
    EXPECT_FALSE(img.bytes[0] == 0x89 && img.bytes[1] == 'P' && img.bytes[2] == 'N' && img.bytes[3] == 'G');

    const Decoded d = decode(img.bytes);
    EXPECT_EQ(d.header_size, 40u);
    EXPECT_EQ(d.width, img.size);
    EXPECT_EQ(d.height, 2 * img.size);
    EXPECT_EQ(d.planes, 1u);
    EXPECT_EQ(d.bit_count, static_cast<std::uint32_t>(img.bit_count));
    EXPECT_EQ(d.compression, 0u);
    EXPECT_LE(d.colours_used, 16u);
    EXPECT_EQ(d.expected_size, img.bytes.size());
    const std::size_t palette_bytes = img.bit_count == 4 ? 64 : 0;
    EXPECT_EQ(d.size_image, img.bytes.size() - 40 - palette_bytes);
  }
}

TEST(IconImages, GroupDirectoryNamesEachImageWithItsSizeAndId) {
  const std::vector<std::uint8_t> dir = varnok::icons::build_group_directory(images());
  ASSERT_EQ(dir.size(), 6u + 14u * 12u);
  EXPECT_EQ(read16(dir, 0), 0u);
  EXPECT_EQ(read16(dir, 2), 1u);
  EXPECT_EQ(read16(dir, 4), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    const IconImage& img = images()[i];
    const std::size_t e = 6 + 14 * i;
    SCOPED_TRACE(testing::Message() << "entry " << i);
    EXPECT_EQ(dir[e + 0], img.size);
    EXPECT_EQ(dir[e + 1], img.size);
    EXPECT_EQ(dir[e + 2], img.bit_count == 4 ? 16 : 0);
    EXPECT_EQ(dir[e + 3], 0);
    EXPECT_EQ(read16(dir, e + 4), 1u);
    EXPECT_EQ(read16(dir, e + 6), static_cast<std::uint32_t>(img.bit_count));
    EXPECT_EQ(read32(dir, e + 8), img.bytes.size());
    EXPECT_EQ(read16(dir, e + 12), 30001u + i);
  }

  const auto files = varnok::icons::build_output_files();
  ASSERT_EQ(files.size(), 13u);
  EXPECT_EQ(files.front().name, "icon_30001.bin");
  EXPECT_EQ(files[11].name, "icon_30012.bin");
  EXPECT_EQ(files.back().name, "icon_group.bin");
  EXPECT_EQ(files.back().bytes, dir);
  for (std::size_t i = 0; i < 12; ++i) EXPECT_EQ(files[i].bytes, images()[i].bytes) << files[i].name;
}

TEST(IconImages, AlphaImagesAreARoundAntiAliasedBadgeWithAWhiteSymbol) {
  for (const int n : kSizes) {
    SCOPED_TRACE(testing::Message() << n << " px");
    const Decoded d = decode(image(n, 32).bytes);
    const auto layout = varnok::icons::layout_for(n);
    for (const Probe corner : {Probe{0, 0}, Probe{n - 1, 0}, Probe{0, n - 1}, Probe{n - 1, n - 1}}) {
      EXPECT_EQ(d.at(corner.x, corner.y).a, 0);
      EXPECT_TRUE(is_black(d.at(corner.x, corner.y)));
      EXPECT_TRUE(d.masked(corner.x, corner.y));
    }
    // The two middle columns of the bar, halfway down it.
    const int bar_middle = (layout.bar_top_y + layout.bar_bottom_y) / 2;
    for (const Probe p : {pixel_of(layout.centre_x - 1, bar_middle), pixel_of(layout.centre_x + 1, bar_middle)}) {
      EXPECT_EQ(d.at(p.x, p.y).a, 255);
      EXPECT_TRUE(is_white(d.at(p.x, p.y)));
      EXPECT_FALSE(d.masked(p.x, p.y));
    }
    // Inside the ring, below the bar: badge.
    const Probe inside = pixel_of(layout.centre_x, layout.ring_centre_y + layout.ring_radius / 2);
    EXPECT_EQ(d.at(inside.x, inside.y).a, 255);
    EXPECT_TRUE(is_blue(d.at(inside.x, inside.y)));

    int partial = 0, opaque = 0;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        const Rgba& c = d.at(x, y);
        EXPECT_EQ(d.masked(x, y), c.a < 128) << x << "," << y;
        if (c.a == 0) {
          EXPECT_TRUE(is_black(c)) << x << "," << y;
        }
        partial += c.a > 0 && c.a < 255;
        opaque += c.a == 255;
      }
    }
    // A smooth circle's edge: partly covered pixels all round it.
    EXPECT_GE(partial, 2 * n);
    // Round: about pi/4 of the square is covered.
    EXPECT_NEAR(static_cast<double>(opaque + partial) / (n * n), 0.785, 0.08);
  }
}

TEST(IconImages, RingOpensAtTheTop) {
  // A point on the ring's centre line, about 24 degrees off the vertical: above the centre it
  // lies in the opening, below it on the stroke. An image stored top-down would swap them.
  for (const int n : kSizes) {
    for (const int bits : {4, 24, 32}) {
      SCOPED_TRACE(testing::Message() << n << " px, " << bits << " bits");
      const Decoded d = decode(image(n, bits).bytes);
      const auto l = varnok::icons::layout_for(n);
      const int dx = l.ring_radius * 2 / 5;
      const int dy = l.ring_radius * 11 / 12;
      for (const int side : {-1, 1}) {
        const Probe top = pixel_of(l.centre_x + side * dx, l.ring_centre_y - dy);
        const Probe bottom = pixel_of(l.centre_x + side * dx, l.ring_centre_y + dy);
        EXPECT_TRUE(is_blue(d.at(top.x, top.y))) << top.x << "," << top.y;
        EXPECT_GE(d.at(bottom.x, bottom.y).r, 200) << bottom.x << "," << bottom.y;
      }
    }
  }
}

TEST(IconImages, EveryImageIsMirrorSymmetric) {
  for (const IconImage& img : images()) {
    SCOPED_TRACE(testing::Message() << "image " << img.resource_id);
    const Decoded d = decode(img.bytes);
    for (int y = 0; y < img.size; ++y) {
      for (int x = 0; x < img.size / 2; ++x) {
        const int mirror = img.size - 1 - x;
        ASSERT_EQ(d.at(x, y), d.at(mirror, y)) << x << "," << y;
        ASSERT_EQ(d.masked(x, y), d.masked(mirror, y)) << x << "," << y;
      }
    }
  }
}

TEST(IconImages, MaskedImagesShareTheAlphaImagesShape) {
  for (const int n : kSizes) {
    SCOPED_TRACE(testing::Message() << n << " px");
    const Decoded alpha = decode(image(n, 32).bytes);
    const Decoded rgb = decode(image(n, 24).bytes);
    const Decoded indexed = decode(image(n, 4).bytes);
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        ASSERT_EQ(rgb.masked(x, y), alpha.masked(x, y)) << x << "," << y;
        ASSERT_EQ(indexed.masked(x, y), alpha.masked(x, y)) << x << "," << y;
        // The mask lets the screen through only where the colour bits are black (XOR 0).
        if (rgb.masked(x, y)) {
          EXPECT_TRUE(is_black(rgb.at(x, y))) << x << "," << y;
          EXPECT_TRUE(is_black(indexed.at(x, y))) << x << "," << y;
        }
        const Rgba& a = alpha.at(x, y);
        if (a.a == 255) {
          EXPECT_EQ(rgb.at(x, y), (Rgba{a.r, a.g, a.b, 0xFF})) << x << "," << y;
        }
      }
    }
  }
}

TEST(IconImages, SixteenColourImagesUseTheirOwnPaletteFaithfully) {
  std::vector<std::vector<Rgba>> palettes;
  for (const int n : kSizes) {
    SCOPED_TRACE(testing::Message() << n << " px");
    const Decoded rgb = decode(image(n, 24).bytes);
    const Decoded indexed = decode(image(n, 4).bytes);
    ASSERT_EQ(indexed.palette.size(), 16u);
    palettes.push_back(indexed.palette);
    EXPECT_TRUE(std::any_of(indexed.palette.begin(), indexed.palette.end(), is_white));
    EXPECT_TRUE(std::any_of(indexed.palette.begin(), indexed.palette.end(), is_blue));

    std::set<int> used;
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        if (indexed.masked(x, y)) continue;
        const std::size_t i = static_cast<std::size_t>(y * n + x);
        used.insert(indexed.indices[i]);
        const Rgba wanted = rgb.at(x, y);
        int best = varnok::icons::colour_distance(wanted, indexed.palette[0]);
        for (const Rgba& entry : indexed.palette) best = std::min(best, varnok::icons::colour_distance(wanted, entry));
        // Each pixel takes the nearest entry, and the nearest is close: no wrong or stale palette.
        EXPECT_EQ(varnok::icons::colour_distance(wanted, indexed.at(x, y)), best) << x << "," << y;
        EXPECT_LE(best, 9 * 40 * 40) << x << "," << y;
      }
    }
    EXPECT_GE(used.size(), 8u);
  }
  // Chosen per image, not one palette for all.
  for (std::size_t i = 1; i < palettes.size(); ++i) EXPECT_NE(palettes[i], palettes[i - 1]);
}
