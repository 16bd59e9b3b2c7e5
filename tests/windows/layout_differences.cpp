#include "tests/windows/layout_differences.h"

#include "tests/windows/window_driver.h"

#include <algorithm>
#include <sstream>
#include <string_view>
#include <vector>

namespace tessaldrin::testing::windows {
namespace {

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string RectText(const RECT& rect) {
    std::ostringstream text;
    text << rect.left << ',' << rect.top << ' ' << rect.right - rect.left << 'x'
         << rect.bottom - rect.top;
    return text.str();
}

// What the control's font is: its face, its height in pixels, bold or not.
std::string FontText(HWND control) {
    LOGFONTA font{};
    const auto handle = reinterpret_cast<HGDIOBJ>(Send(control, WM_GETFONT));
    if (handle == nullptr || GetObjectA(handle, sizeof font, &font) == 0) {
        return "(unreadable)";
    }
    std::ostringstream text;
    text << font.lfFaceName << ' ' << -font.lfHeight << "px"
         << (font.lfWeight >= FW_BOLD ? " bold" : "");
    return text.str();
}

std::string FontText(const toolkit::LayoutFont& font) {
    std::ostringstream text;
    text << font.face << ' ' << font.pixels << "px" << (font.bold ? " bold" : "");
    return text.str();
}

std::string_view ParentOf(const toolkit::LayoutControl& control) {
    return control.parent != nullptr ? control.parent : "";
}

const toolkit::LayoutControl* Named(const toolkit::WindowLayout& layout, const char* name) {
    const auto found =
        std::find_if(layout.controls.begin(), layout.controls.end(),
                     [name](const auto& c) { return std::string_view(c.name) == name; });
    return found != layout.controls.end() ? &*found : nullptr;
}

class Differences {
public:
    template <typename T> void Compare(const std::string& what, const T& shown, const T& wanted) {
        if (!(shown == wanted)) {
            text_ << (text_.tellp() > 0 ? "; " : "") << what << ": " << shown << ", not " << wanted;
        }
    }
    std::string Text() const { return text_.str(); }

private:
    std::ostringstream text_;
};

} // namespace

std::string LayoutDifferences(HWND window, const toolkit::WindowLayout& layout) {
    Differences differences;
    differences.Compare("window", ClassOf(window), std::string(layout.name));
    differences.Compare("caption", Text(window), std::string(layout.caption));
    RECT client{};
    GetClientRect(window, &client);
    differences.Compare("client area", RectText(client),
                        RectText({0, 0, layout.clientWidth, layout.clientHeight}));

    std::vector<HWND> made;
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        made.push_back(control);
    }
    differences.Compare("controls", made.size(), layout.controls.size());
    made.resize(layout.controls.size(), nullptr);
    std::vector<std::pair<int, std::size_t>> stops; // tab order, index
    for (std::size_t i = 0; i < layout.controls.size(); ++i) {
        const toolkit::LayoutControl& wanted = layout.controls[i];
        const std::string name = wanted.name;
        if (made[i] == nullptr) {
            continue;
        }
        // Placed in the window's client area: one within another by that one.
        RECT place{wanted.bounds.left, wanted.bounds.top, wanted.bounds.left + wanted.bounds.width,
                   wanted.bounds.top + wanted.bounds.height};
        for (const char* parent = wanted.parent; parent != nullptr;) {
            const toolkit::LayoutControl* frame = Named(layout, parent);
            OffsetRect(&place, frame->bounds.left, frame->bounds.top);
            parent = frame->parent;
        }
        RECT bounds{};
        GetWindowRect(made[i], &bounds);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
        differences.Compare(name + " bounds", RectText(bounds), RectText(place));
        if (wanted.text != nullptr) {
            char caption[1024] = {};
            GetWindowTextA(made[i], caption, sizeof caption);
            differences.Compare(name + " caption", std::string(caption), std::string(wanted.text));
        }
        differences.Compare(name + " font", FontText(made[i]), FontText(wanted.font));
        differences.Compare(name + " enabled", IsWindowEnabled(made[i]) != FALSE, wanted.enabled);
        if (wanted.tabOrder >= 0) {
            stops.emplace_back(wanted.tabOrder, i);
        }
    }
    // Tab goes from each stop to the next, and round; a run of radio buttons
    // is one stop, which the arrow keys walk, and a disabled control none.
    std::sort(stops.begin(), stops.end());
    std::vector<std::size_t> tab;
    for (const auto& [order, i] : stops) {
        const toolkit::LayoutControl& control = layout.controls[i];
        const bool inRun = !tab.empty() && control.radio && layout.controls[tab.back()].radio &&
                           ParentOf(control) == ParentOf(layout.controls[tab.back()]);
        if (!inRun && control.enabled) {
            tab.push_back(i);
        }
    }
    const auto nameOf = [&](HWND control) {
        const auto at = std::find(made.begin(), made.end(), control);
        return at != made.end() ? std::string(layout.controls[at - made.begin()].name)
                                : std::string("(none)");
    };
    for (std::size_t i = 0; i < tab.size(); ++i) {
        const std::string from = layout.controls[tab[i]].name;
        differences.Compare(from + " then", nameOf(GetNextDlgTabItem(window, made[tab[i]], FALSE)),
                            std::string(layout.controls[tab[(i + 1) % tab.size()]].name));
    }
    return differences.Text();
}

} // namespace tessaldrin::testing::windows
