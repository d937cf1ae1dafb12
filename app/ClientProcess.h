#pragma once

// What the client's process sets up around its application object, shared by
// `main` and the end-to-end test that runs the client in its own process.
class ClientProcess {
public:
    // Before the QApplication exists: Qt attributes, the local code page and
    // the media back end's settings.
    static void prepare();
    // Right after the QApplication exists: its name, the working folder and
    // the fonts.
    static void settle();
};
