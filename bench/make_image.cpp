// Writes a BMP with photograph-like content for the benchmark: smooth gradients, noise and hard
// edges, in the 24-bit or the 8-bit form.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void putLe(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One sample: a diagonal gradient, a few hard-edged discs and bars, and a little noise.
std::uint8_t sample(int x, int y, int channel, int side, std::uint32_t& noise) {
  noise = noise * 1664525u + 1013904223u;
  int value = (x * (channel + 1) + y * (3 - channel)) * 255 / (4 * side) + 40;
  int cx = x - side / 3;
  int cy = y - side / 2;
  if (cx * cx + cy * cy < side * side / 16) value = 230 - channel * 60;
  if ((x / (side / 16 + 1)) % 5 == 0 && y > side / 4) value = channel * 90;
  value += static_cast<int>(noise >> 28) - 8;
  return static_cast<std::uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s SIDE BITS(8|24) OUT.bmp\n", argv[0]);
    return 2;
  }
  int side = std::atoi(argv[1]);
  int bits = std::atoi(argv[2]);
  int bpp = bits / 8;
  std::uint32_t row = static_cast<std::uint32_t>((side * bpp + 3) / 4 * 4);
  std::uint32_t start = bpp == 1 ? 1078 : 54;
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  putLe(out, start + row * static_cast<std::uint32_t>(side), 4);
  putLe(out, 0, 4);
  putLe(out, start, 4);
  putLe(out, 40, 4);
  putLe(out, static_cast<std::uint32_t>(side), 4);
  putLe(out, static_cast<std::uint32_t>(side), 4);
  putLe(out, 1, 2);
  putLe(out, static_cast<std::uint32_t>(bits), 2);
  putLe(out, 0, 4);
  putLe(out, row * static_cast<std::uint32_t>(side), 4);
  putLe(out, 2834, 4);
  putLe(out, 2834, 4);
  putLe(out, 0, 4);
  putLe(out, 0, 4);
  if (bpp == 1) {
    for (std::uint32_t i = 0; i < 256; ++i) putLe(out, i * 0x010101u, 4);
  }
  std::uint32_t noise = 12345;
  for (int y = 0; y < side; ++y) {
    std::size_t rowStart = out.size();
    for (int x = 0; x < side; ++x) {
      for (int c = 0; c < bpp; ++c) out.push_back(sample(x, y, bpp == 1 ? 1 : c, side, noise));
    }
    out.resize(rowStart + row, 0);
  }
  std::FILE* file = std::fopen(argv[3], "wb");
  if (file == nullptr || std::fwrite(out.data(), 1, out.size(), file) != out.size() ||
      std::fclose(file) != 0) {
    std::perror(argv[3]);
    return 1;
  }
  return 0;
}
