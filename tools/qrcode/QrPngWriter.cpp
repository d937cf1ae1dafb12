#include "QrPngWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <png.h>
#include <qrencode.h>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using Code = std::unique_ptr<QRcode, decltype(&QRcode_free)>;

// One byte per pixel, 0 black and 255 white.
std::vector<unsigned char> pixels(const QRcode& code, int modulePixels, int& side) {
    const int modules = code.width + 2 * QrPngWriter::kQuietZone;
    side = modules * modulePixels;
    std::vector<unsigned char> image(size_t(side) * size_t(side), 255);
    for (int y = 0; y < code.width; ++y) {
        unsigned char* row =
            image.data() + size_t(y + QrPngWriter::kQuietZone) * modulePixels * side;
        for (int x = 0; x < code.width; ++x) {
            if (code.data[y * code.width + x] & 1) // bit 0: dark module
                std::memset(row + (x + QrPngWriter::kQuietZone) * modulePixels, 0,
                            size_t(modulePixels));
        }
        // The first pixel row of the module row is complete; repeat it.
        for (int dy = 1; dy < modulePixels; ++dy)
            std::memcpy(row + size_t(dy) * side, row, size_t(side));
    }
    return image;
}

bool replace(const std::string& from, const std::string& to) {
#ifdef _WIN32
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

} // namespace

bool QrPngWriter::write(const std::string& text, const std::string& path, int modulePixels,
                        std::string& error) {
    if (text.empty()) {
        error = "nothing to encode: the text is empty";
        return false;
    }
    if (modulePixels < 1 || modulePixels > kMaxModulePixels) {
        error = "module size must be 1 to " + std::to_string(kMaxModulePixels) + " pixels";
        return false;
    }
    errno = 0;
    Code code(QRcode_encodeData(int(text.size()),
                                reinterpret_cast<const unsigned char*>(text.data()), 0,
                                QR_ECLEVEL_M),
              &QRcode_free);
    if (!code) {
        error = errno == ERANGE ? "the text is too long for a QR code (" +
                                      std::to_string(text.size()) + " bytes)"
                                : std::string("QR encoding failed: ") + std::strerror(errno);
        return false;
    }
    int side = 0;
    const std::vector<unsigned char> image = pixels(*code, modulePixels, side);
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(side);
    png.height = png_uint_32(side);
    png.format = PNG_FORMAT_GRAY;
    const std::string part = path + ".part";
    if (!png_image_write_to_file(&png, part.c_str(), 0, image.data(), 0, nullptr)) {
        error = "cannot write " + path + ": " + png.message;
        std::remove(part.c_str());
        return false;
    }
    if (!replace(part, path)) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(part.c_str());
        return false;
    }
    return true;
}
