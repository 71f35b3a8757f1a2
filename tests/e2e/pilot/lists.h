// Reading and clicking the setup's list and combo boxes from the pilot's process, and
// comparing what an item shows with the shell's small system images.
#ifndef PILOT_LISTS_H
#define PILOT_LISTS_H

#include "pilot.h"

#include <string>
#include <vector>

namespace pilot {

// A list box's items, or with combo a combo box's.
int ListCount(HWND list, bool combo = false);
std::string ListText(HWND list, int index, bool combo = false);
std::vector<std::string> ListTexts(HWND list, bool combo = false);
LONG_PTR ListData(HWND list, int index);
int ListSelection(HWND list, bool combo = false);
// The item's rectangle in the list's client coordinates.
RECT ListItemRect(HWND list, int index);
// The same rectangle on the screen.
RECT ListItemScreenRect(HWND list, int index);

// Mouse presses posted to the list at the middle of the item's rectangle,
// in the order a person's single or double click produces them.
void ClickItem(HWND list, int index);
void DoubleClickItem(HWND list, int index);

// Whether the screen shows image `image` of the shell's small system image
// list at (x, y), judged against the background colour at (backX, backY).
bool ShowsSystemImage(const Picture& screen, int image, int x, int y, int backX, int backY);
// The index of a path's small icon in that image list.
int SystemImageOf(const std::string& path);

} // namespace pilot

#endif
