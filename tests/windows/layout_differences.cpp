#include "tests/windows/layout_differences.h"

#include "tests/support/layout_check.h"
#include "tests/windows/window_driver.h"

#include <string_view>
#include <vector>

namespace tessaldrin::testing::windows {
namespace {

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string FontOf(HWND control) {
    LOGFONTA font{};
    const auto handle = reinterpret_cast<HGDIOBJ>(Send(control, WM_GETFONT));
    if (handle == nullptr || GetObjectA(handle, sizeof font, &font) == 0) {
        return "(unreadable)";
    }
    return FontText(font.lfFaceName, -font.lfHeight, font.lfWeight >= FW_BOLD);
}

std::string_view ParentOf(const toolkit::LayoutControl& control) {
    return control.parent != nullptr ? control.parent : "";
}

} // namespace

std::string LayoutDifferences(HWND window, const toolkit::WindowLayout& layout) {
    LayoutCheck check;
    check.Compare("window", ClassOf(window), layout.name);
    check.Compare("caption", Text(window), layout.caption);
    RECT client{};
    GetClientRect(window, &client);
    check.Compare("client area", BoundsText(0, 0, client.right, client.bottom),
                  BoundsText(0, 0, layout.clientWidth, layout.clientHeight));
    // The controls in the order they were made, which is the table's.
    std::vector<HWND> made;
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
        made.push_back(control);
    }
    check.Compare("controls", made.size(), layout.controls.size());
    made.resize(layout.controls.size(), nullptr);
    for (std::size_t i = 0; i < layout.controls.size() && made[i] != nullptr; ++i) {
        const toolkit::LayoutControl& wanted = layout.controls[i];
        const std::string name = wanted.name;
        // In the window's client area: a control within another placed by that one.
        POINT at{wanted.bounds.left, wanted.bounds.top};
        for (const char* parent = wanted.parent; parent != nullptr;) {
            const auto& frame = *std::find_if(
                layout.controls.begin(), layout.controls.end(),
                [parent](const auto& control) { return std::string_view(control.name) == parent; });
            at.x += frame.bounds.left;
            at.y += frame.bounds.top;
            parent = frame.parent;
        }
        RECT bounds{};
        GetWindowRect(made[i], &bounds);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&bounds), 2);
        check.Compare(name + " bounds",
                      BoundsText(bounds.left, bounds.top, bounds.right - bounds.left,
                                 bounds.bottom - bounds.top),
                      BoundsText(at.x, at.y, wanted.bounds.width, wanted.bounds.height));
        if (wanted.text != nullptr) {
            char caption[1024] = {};
            GetWindowTextA(made[i], caption, sizeof caption);
            check.Compare(name + " caption", caption, wanted.text);
        }
        check.Compare(name + " font", FontOf(made[i]), FontText(wanted.font));
        check.Compare(name + " enabled", IsWindowEnabled(made[i]) != FALSE, wanted.enabled);
    }
    // Tab goes from each stop to the next, and round; a run of radio buttons
    // is one stop, which the arrow keys walk, and a disabled control none.
    std::vector<std::size_t> tab;
    for (const std::size_t i : TabStops(layout)) {
        const toolkit::LayoutControl& control = layout.controls[i];
        const bool inRun = !tab.empty() && control.radio && layout.controls[tab.back()].radio &&
                           ParentOf(control) == ParentOf(layout.controls[tab.back()]);
        if (!inRun && control.enabled) {
            tab.push_back(i);
        }
    }
    for (std::size_t i = 0; i < tab.size(); ++i) {
        const HWND next = GetNextDlgTabItem(window, made[tab[i]], FALSE);
        const auto at = std::find(made.begin(), made.end(), next) - made.begin();
        check.Compare(std::string(layout.controls[tab[i]].name) + " then",
                      at < static_cast<long>(made.size()) ? layout.controls[at].name : "(none)",
                      layout.controls[tab[(i + 1) % tab.size()]].name);
    }
    return check.Differences();
}

} // namespace tessaldrin::testing::windows
