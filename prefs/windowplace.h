#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace navorel {

// A rectangle on the desktop in the window system's logical pixels.
struct ScreenRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect &) const = default;
};

// The place of a window on the screen it opens on: never larger than the
// screen's available area, never off it. A window that fits keeps its
// place where it lies wholly on the screen and is moved in just as far as
// it has to be otherwise.
ScreenRect clampToScreen(const ScreenRect &window, const ScreenRect &available);

// "x,y,width,height" as navorel.conf keeps a rectangle; none for a text
// that is not four whole numbers or has no area.
std::optional<ScreenRect> screenRectFromText(const std::string &text);
std::string screenRectText(const ScreenRect &rect);

// Where a file dialog was last used: its folder and the filter chosen in
// it, by the filter's name ("All Files").
struct DialogPlace
{
    std::string folder;
    std::string filter;
    bool operator==(const DialogPlace &) const = default;
};

// What the main window keeps of its places and sizes between runs; all
// empty on a first start, which looks as it always did.
struct WindowPlace
{
    std::optional<ScreenRect> geometry; // of the window's inside, unmaximised
    bool maximized = false;
    std::vector<int> splitter;                  // widths of the panes, left to right
    int tab = -1;                               // the chart page shown; -1: the first
    std::map<std::string, DialogPlace> dialogs; // by the dialog's name ("FileOpenTXT")
    bool operator==(const WindowPlace &) const = default;
};

} // namespace navorel
