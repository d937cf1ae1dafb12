// qrcode -q TEXT -p PATH [-s PIXELS]
// Writes the QR code of TEXT as a PNG picture to PATH. On failure it exits
// with a non-zero code and one line on standard error saying why; PATH is
// then left as it was.
#include "QrPngWriter.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr int kDefaultModulePixels = 8;
constexpr int kUsageError = 2;
constexpr int kWriteError = 1;

int fail(int code, const std::string& reason) {
    std::fprintf(stderr, "qrcode: %s\n", reason.c_str());
    return code;
}

bool parsePixels(const char* text, int& pixels) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > QrPngWriter::kMaxModulePixels)
        return false;
    pixels = int(value);
    return true;
}

} // namespace

int main(int argc, char* argv[]) {
    const char* text = nullptr;
    const char* path = nullptr;
    int pixels = kDefaultModulePixels;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help") {
            std::printf("usage: qrcode -q TEXT -p PATH [-s PIXELS_PER_MODULE]\n");
            return 0;
        }
        if (option != "-q" && option != "-p" && option != "-s")
            return fail(kUsageError,
                        "unknown option " + option + " (usage: qrcode -q TEXT -p PATH)");
        if (i + 1 >= argc)
            return fail(kUsageError, "option " + option + " needs a value");
        const char* value = argv[++i];
        if (option == "-q")
            text = value;
        else if (option == "-p")
            path = value;
        else if (!parsePixels(value, pixels))
            return fail(kUsageError, std::string("-s wants 1 to ") +
                                         std::to_string(QrPngWriter::kMaxModulePixels) +
                                         " pixels, not " + value);
    }
    if (!text || !path)
        return fail(kUsageError, "usage: qrcode -q TEXT -p PATH");
    if (*path == '\0')
        return fail(kUsageError, "the picture path is empty");
    std::string error;
    if (!QrPngWriter::write(text, path, pixels, error))
        return fail(kWriteError, error);
    return 0;
}
