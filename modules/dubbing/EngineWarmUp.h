#pragma once

// The speech model loads with the first engine of the process, which a
// sentence row creates on the interface thread. Starting it here on a thread
// of its own, when a clip page opens, keeps that wait off the interface.
class EngineWarmUp {
public:
    // Once per process; returns at once.
    static void start();
};
