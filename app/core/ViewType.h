#pragma once

// The top-level module that SHOW_VIEW opens.
enum ViewType : int {
    VIEW_NONE = 0,
    VIEW_MAIN = 1,
};
