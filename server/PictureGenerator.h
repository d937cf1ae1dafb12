#pragma once

#include "MediaGenerator.h"

#include <string>
#include <vector>

namespace lintavo {

// Banners, album covers, avatars and class-group pictures, drawn by ffmpeg.
class PictureGenerator {
public:
    explicit PictureGenerator(const MediaGenerator& media);

    static std::vector<std::string> files();
    bool ensureAll() const;

private:
    static std::string source(int width, int height, int seed, const std::string& label);

    const MediaGenerator& media_;
};

} // namespace lintavo
