#pragma once

#include "WavFile.h"

namespace lintavo {

// A quiet chord pad that serves as a clip's background music; `seed` picks key and tempo so
// that every clip sounds a little different.
class ToneSynth {
public:
    static WavFile backgroundMusic(int milliseconds, int seed, int sampleRate);
    // voice + music, clipped to 16 bits.
    static WavFile mix(const WavFile& voice, const WavFile& music);
};

} // namespace lintavo
