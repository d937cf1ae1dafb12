#pragma once

// Prepares GStreamer, the players' media back-end here, before the first
// player exists. GStreamer reads these settings once, when it starts or first
// loads a plugin, so they come first:
// - the KMS video sink stays out of the automatic sink choice: a windowed
//   player never wants it, and on machines without a usable GPU device
//   (virtual machines, remote desktops, Xvfb) probing it blocks every new
//   player for seconds;
// - the HTTP source runs on libsoup 2.4 where it is installed. On libsoup 3
//   its session thread now and then crashes in closing a request's stream
//   when a player goes while its clip still streams, which pages do at any
//   moment. GStreamer takes the libsoup the process already has loaded.
class MediaBackend {
public:
    static void configure();
    // Also starts GStreamer on a worker thread, so that the first clip page
    // does not wait for it to load its plugin list. Where the players use
    // another back-end this only sets what nothing reads.
    static void prepare();
};
