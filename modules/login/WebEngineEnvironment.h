#pragma once

// Settings the web engine reads once, when the first web view is built; call
// prepare() before that.
// - Chromium refuses its sandbox to a root process (these build and test
//   machines run everything as root): the sandbox is turned off for root only.
// - Without OpenGL (headless runs) the view would abort the process on its
//   first frame: the page is then drawn by the software scene graph.
// Explicit settings in the environment are left alone.
class WebEngineEnvironment {
public:
    static void prepare();
};
