#pragma once

// Prepares GStreamer, the players' media back-end here, before the first
// player exists. It keeps the KMS video sink out of the automatic sink
// choice: a windowed player never wants it, and on machines without a usable
// GPU device (virtual machines, remote desktops, Xvfb) probing it blocks
// every new player for seconds. GStreamer reads the ranks once, when it
// starts, so this runs first.
class MediaBackend {
public:
    static void keepKmsSinkOut();
    // Also starts GStreamer on a worker thread, so that the first clip page
    // does not wait for it to load its plugin list. Where the players use
    // another back-end this only sets the rank for nothing.
    static void prepare();
};
