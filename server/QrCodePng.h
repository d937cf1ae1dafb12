#pragma once

#include <string>

namespace lintavo {

// A QR code of a text as PNG bytes (black modules on white, with a quiet zone).
class QrCodePng {
public:
    static std::string render(const std::string& text, int moduleSize = 6);
};

} // namespace lintavo
