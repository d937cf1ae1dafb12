#include "PictureGenerator.h"

#include "ProcessRunner.h"

#include <cstdio>
#include <unistd.h>

namespace lintavo {

namespace {

struct PictureRecipe {
    std::string name;
    int width;
    int height;
    std::string label;
};

const std::vector<PictureRecipe>& recipes() {
    static const std::vector<PictureRecipe> list = {
        {"banner-1.jpg", 640, 240, "Ordering Coffee"},
        {"banner-2.jpg", 640, 240, "Business English"},
        {"banner-3.jpg", 640, 240, "Lintavo VIP"},
        {"album-1.jpg", 400, 225, "Everyday Talk"},
        {"album-2.jpg", 400, 225, "Travel English"},
        {"album-3.jpg", 400, 225, "Stories for Kids"},
        {"album-4.jpg", 400, 225, "Business English"},
        {"avatar-1.png", 96, 96, "L"},
        {"avatar-2.png", 96, 96, "V"},
        {"avatar-3.png", 96, 96, "T"},
        {"avatar-4.png", 96, 96, "Li"},
        {"avatar-5.png", 96, 96, "To"},
        {"avatar-6.png", 96, 96, "Mi"},
        {"avatar-wx.png", 96, 96, "WX"},
        {"avatar-new.png", 96, 96, "U"},
        {"group-1.png", 96, 96, "3-2"},
        {"group-2.png", 96, 96, "EN"},
    };
    return list;
}

} // namespace

PictureGenerator::PictureGenerator(const MediaGenerator& media) : media_(media) {}

std::vector<std::string> PictureGenerator::files() {
    std::vector<std::string> names;
    for (const auto& s : recipes())
        names.push_back(s.name);
    return names;
}

std::string PictureGenerator::source(int width, int height, int seed, const std::string& label) {
    std::string source = "gradients=s=" + std::to_string(width) + "x" + std::to_string(height) +
                         ":seed=" + std::to_string(seed * 7919) + ":d=1";
    const char* font = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    if (MediaGenerator::exists(font))
        source += ",drawtext=fontfile=" + std::string(font) + ":text='" + label +
                  "':fontcolor=white:borderw=2:fontsize=" + std::to_string(height / 5) +
                  ":x=(w-tw)/2:y=(h-th)/2";
    return source;
}

bool PictureGenerator::ensureAll() const {
    // One ffmpeg run draws every missing picture: starting ffmpeg costs more than drawing.
    std::vector<std::string> args = {"ffmpeg",    "-nostdin", "-hide_banner",
                                     "-loglevel", "error",    "-y"};
    std::vector<std::string> missing;
    int seed = 1;
    for (const auto& s : recipes()) {
        if (!MediaGenerator::exists(media_.path(s.name))) {
            args.insert(args.end(),
                        {"-f", "lavfi", "-i", source(s.width, s.height, seed, s.label)});
            missing.push_back(s.name);
        }
        ++seed;
    }
    if (missing.empty())
        return true;
    for (size_t i = 0; i < missing.size(); ++i)
        args.insert(args.end(), {"-map", std::to_string(i), "-frames:v", "1",
                                 media_.path(media_.temporaryName(missing[i]))});
    auto result = ProcessRunner::run(args, 120000);
    bool ok = result.exitCode == 0;
    for (const auto& name : missing) {
        std::string temporary = media_.path(media_.temporaryName(name));
        ok = MediaGenerator::exists(temporary) &&
             std::rename(temporary.c_str(), media_.path(name).c_str()) == 0 && ok;
        ::unlink(temporary.c_str());
    }
    if (!ok)
        std::fprintf(stderr, "media: pictures failed: %s\n", result.errors.c_str());
    return ok;
}

} // namespace lintavo
