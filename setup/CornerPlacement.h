#pragma once

namespace setup {

// A rectangle of the screen in pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const ScreenRect&) const = default;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;

    bool operator==(const ScreenPoint&) const = default;
};

// Where the progress dialog of this outer size goes: the bottom-right corner of the work area,
// the screen without the space that panels (a taskbar) keep for themselves, wherever they are
// docked. When no panel keeps any space, 30 pixels are left free at the bottom, the height of
// a usual taskbar.
ScreenPoint CornerPosition(const ScreenRect& screen, const ScreenRect& workArea, int width,
                           int height);

// Where a window of this size is centred on the screen, halves rounded down (also for a
// window larger than the screen).
ScreenPoint CentredPosition(const ScreenRect& screen, int width, int height);

} // namespace setup
