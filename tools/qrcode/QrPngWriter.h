#pragma once

#include <string>

// Renders the QR code of a text (byte mode, error correction level M) as a
// grey-scale PNG: black modules on white inside a quiet zone of four modules.
// The file appears complete or not at all: it is written under a temporary
// name beside the target and renamed over it.
class QrPngWriter {
public:
    static constexpr int kQuietZone = 4;
    static constexpr int kMaxModulePixels = 64;

    // Writes the picture; on failure returns false and says why in `error`.
    static bool write(const std::string& text, const std::string& path, int modulePixels,
                      std::string& error);
};
