#pragma once

// The forms ask for the family "PingFang SC", which only Apple systems have.
// Elsewhere it is mapped to an installed CJK family so that every Chinese
// text renders with matching glyphs.
class AppFonts {
public:
    // Call once after the QApplication exists.
    static void install();
};
