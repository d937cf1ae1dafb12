#include "QrCodePng.h"

#include <memory>
#include <png.h>
#include <qrencode.h>
#include <stdexcept>
#include <vector>

namespace lintavo {

namespace {
constexpr int kQuietZone = 4;
}

std::string QrCodePng::render(const std::string& text, int moduleSize) {
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code)
        throw std::runtime_error("QR encoding failed");
    int modules = code->width + 2 * kQuietZone;
    int side = modules * moduleSize;
    std::vector<unsigned char> pixels(size_t(side) * side, 255);
    for (int y = 0; y < code->width; ++y)
        for (int x = 0; x < code->width; ++x) {
            if (!(code->data[y * code->width + x] & 1))
                continue;
            for (int dy = 0; dy < moduleSize; ++dy)
                for (int dx = 0; dx < moduleSize; ++dx)
                    pixels[size_t((y + kQuietZone) * moduleSize + dy) * side +
                           (x + kQuietZone) * moduleSize + dx] = 0;
        }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(side);
    image.height = png_uint_32(side);
    image.format = PNG_FORMAT_GRAY;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("PNG sizing failed");
    std::string png(size, '\0');
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, pixels.data(), 0, nullptr))
        throw std::runtime_error("PNG writing failed");
    png.resize(size);
    return png;
}

} // namespace lintavo
