// Builds BMP files and test patterns for the tests.
#include "support/bmp_builder.h"

#include <stdexcept>

namespace pixamorph::testing {

TestImage patternImage(int width, int height, int bytesPerPixel, unsigned seed) {
  TestImage image{width, height, bytesPerPixel, {}};
  image.pixels.resize(static_cast<std::size_t>(width * height * bytesPerPixel));
  unsigned state = seed * 2654435761u + 12345u;
  for (auto& sample : image.pixels) {
    state = state * 1103515245u + 12345u;
    sample = static_cast<std::uint8_t>(state >> 16);
  }
  return image;
}

TestImage solidImage(int width, int height, int bytesPerPixel, std::uint8_t value) {
  TestImage image{width, height, bytesPerPixel, {}};
  image.pixels.assign(static_cast<std::size_t>(width * height * bytesPerPixel), value);
  return image;
}

void setField(std::vector<std::uint8_t>& file, std::size_t offset, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    file[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

std::uint32_t fieldAt(const std::vector<std::uint8_t>& file, std::size_t offset, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i)
    value = value << 8 | file.at(offset + static_cast<std::size_t>(i));
  return value;
}

std::vector<std::uint8_t> buildBmp(const TestImage& image, const BmpForm& form) {
  bool grey = image.bytesPerPixel == 1;
  std::size_t headerBytes = 14 + form.infoHeaderSize;
  std::size_t paletteStart = headerBytes;
  std::size_t pixelStart =
      form.pixelOffset != 0 ? form.pixelOffset : headerBytes + (grey ? 1024 : 0);
  std::size_t rowBytes = static_cast<std::size_t>(image.width * image.bytesPerPixel);
  std::size_t stored = form.unpadded ? rowBytes : (rowBytes + 3) / 4 * 4;
  std::vector<std::uint8_t> file(std::max(pixelStart, headerBytes + (grey ? 1024u : 0u)));
  file.resize(std::max<std::size_t>(file.size(), 54));
  file[0] = 'B';
  file[1] = 'M';
  setField(file, 10, static_cast<std::uint32_t>(pixelStart));
  setField(file, 14, form.infoHeaderSize);
  setField(file, 18, static_cast<std::uint32_t>(image.width));
  setField(file, 22, static_cast<std::uint32_t>(form.topDown ? -image.height : image.height));
  setField(file, 26, 1, 2);
  setField(file, 28, static_cast<std::uint32_t>(image.bytesPerPixel * 8), 2);
  if (grey) {
    for (std::size_t i = 0; i < 256; ++i) {
      for (std::size_t k = 0; k < 3; ++k)
        file[paletteStart + 4 * i + k] = static_cast<std::uint8_t>(i);
    }
  }
  file.resize(pixelStart);
  for (int stored_y = 0; stored_y < image.height; ++stored_y) {
    int y = form.topDown ? image.height - 1 - stored_y : stored_y;
    auto begin =
        image.pixels.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * rowBytes);
    file.insert(file.end(), begin, begin + static_cast<std::ptrdiff_t>(rowBytes));
    bool last = stored_y + 1 == image.height;
    if (!(last && form.dropLastFill)) file.resize(file.size() + stored - rowBytes, 0);
  }
  if (form.unpadded) file.resize(file.size() + 2, 0);
  setField(file, 2, static_cast<std::uint32_t>(file.size()));
  setField(file, 34, static_cast<std::uint32_t>(file.size() - pixelStart));
  return file;
}

void PrintTo(const TestImage& image, std::ostream* out) {
  *out << image.width << "x" << image.height << "x" << image.bytesPerPixel << " {";
  std::size_t rowBytes = static_cast<std::size_t>(image.width * image.bytesPerPixel);
  for (std::size_t i = 0; i < image.pixels.size() && i < 4096; ++i) {
    if (rowBytes != 0 && i % rowBytes == 0) *out << (i == 0 ? "" : " |");
    *out << ' ' << static_cast<int>(image.pixels[i]);
  }
  *out << " }";
}

TestImage decodeBmp(const std::vector<std::uint8_t>& file) {
  if (file.size() < 54 || file[0] != 'B' || file[1] != 'M') throw std::runtime_error("not a BMP");
  TestImage image;
  image.width = static_cast<int>(fieldAt(file, 18));
  image.height = static_cast<int>(fieldAt(file, 22));
  image.bytesPerPixel = static_cast<int>(fieldAt(file, 28, 2)) / 8;
  std::size_t pixelStart = fieldAt(file, 10);
  std::size_t rowBytes = static_cast<std::size_t>(image.width * image.bytesPerPixel);
  std::size_t stored = (rowBytes + 3) / 4 * 4;
  if (file.size() < pixelStart + stored * static_cast<std::size_t>(image.height)) {
    throw std::runtime_error("BMP too short");
  }
  for (int y = 0; y < image.height; ++y) {
    auto begin = file.begin() +
                 static_cast<std::ptrdiff_t>(pixelStart + stored * static_cast<std::size_t>(y));
    image.pixels.insert(image.pixels.end(), begin, begin + static_cast<std::ptrdiff_t>(rowBytes));
  }
  return image;
}

}  // namespace pixamorph::testing
