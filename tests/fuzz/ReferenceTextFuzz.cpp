// The engine's reading of a reference sentence over any text of the length a
// learner's sentence may have: every reading is made of dictionary keys.
#include "ReferenceText.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>

namespace {
const size_t kMaxChars = 1000; // the engine refuses longer reference texts
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxChars)
        return 0;
    const ReferenceText text(std::string(reinterpret_cast<const char*>(data), size));
    for (const ReferenceText::Word& word : text.words())
        for (const auto& reading : word.readings)
            for (const std::string& key : reading)
                for (char c : key)
                    if (static_cast<unsigned char>(c) >= 0x80 || std::isupper(c))
                        std::abort();
    return 0;
}
