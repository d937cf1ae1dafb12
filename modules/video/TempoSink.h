#pragma once

// Media players change their playback rate by a rate seek, which on its own
// plays audio faster or slower at a higher or lower pitch. Installed before
// the first player is made, every player's audio goes through GStreamer's
// scaletempo, so a slowed-down sentence keeps the speaker's voice. At 1x
// scaletempo passes the audio through untouched.
class TempoSink {
public:
    // The audio sink's element name; empty when it could not be installed
    // (players then change pitch with their rate).
    static const char* install();
};
