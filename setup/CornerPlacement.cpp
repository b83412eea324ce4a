#include "setup/CornerPlacement.h"

namespace setup {

ScreenPoint CornerPosition(const ScreenRect& screen, const ScreenRect& workArea, int width,
                           int height) {
    constexpr int kUnknownTaskbarHeight = 30;
    if (workArea == screen) {
        return {screen.x + screen.width - width,
                screen.y + screen.height - height - kUnknownTaskbarHeight};
    }
    return {workArea.x + workArea.width - width, workArea.y + workArea.height - height};
}

ScreenPoint CentredPosition(const ScreenRect& screen, int width, int height) {
    auto halfRoundedDown = [](int value) { return value >= 0 ? value / 2 : -((1 - value) / 2); };
    return {screen.x + halfRoundedDown(screen.width - width),
            screen.y + halfRoundedDown(screen.height - height)};
}

} // namespace setup
