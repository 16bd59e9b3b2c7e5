// What the tests of both window programs share to hold a window to its
// layout table: the differences as lines, bounds and fonts as text, and the
// tab stops in their order. Toolkit-free.
#pragma once

#include "toolkit/window_layout.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace tessaldrin::testing {

class LayoutCheck {
public:
    // Notes "what: shown, not wanted" when the two read differently.
    template <typename Shown, typename Wanted>
    void Compare(const std::string& what, const Shown& shown, const Wanted& wanted) {
        std::ostringstream seen;
        std::ostringstream meant;
        seen << shown;
        meant << wanted;
        if (seen.str() != meant.str()) {
            lines_ << (lines_.tellp() > 0 ? "; " : "") << what << ": " << seen.str() << ", not "
                   << meant.str();
        }
    }
    // The differences, "; " between them; empty when there is none.
    std::string Differences() const { return lines_.str(); }

private:
    std::ostringstream lines_;
};

inline std::string BoundsText(long left, long top, long width, long height) {
    return std::to_string(left) + ',' + std::to_string(top) + ' ' + std::to_string(width) + 'x' +
           std::to_string(height);
}

inline std::string FontText(const std::string& face, int pixels, bool bold) {
    return face + ' ' + std::to_string(pixels) + "px" + (bold ? " bold" : "");
}

inline std::string FontText(const toolkit::LayoutFont& font) {
    return FontText(font.face, font.pixels, font.bold);
}

// The indexes of `layout`'s tab stops, in tab order.
inline std::vector<std::size_t> TabStops(const toolkit::WindowLayout& layout) {
    std::vector<std::size_t> stops;
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        if (layout.controls[i].tabOrder >= 0) {
            stops.push_back(i);
        }
    }
    std::sort(stops.begin(), stops.end(), [&layout](std::size_t a, std::size_t b) {
        return layout.controls[a].tabOrder < layout.controls[b].tabOrder;
    });
    return stops;
}

} // namespace tessaldrin::testing
