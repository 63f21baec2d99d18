// Internal to the layer: the state of a combo box, shared with its drop-down list.
#pragma once

#include <string>
#include <vector>

#include "platform/controls/ControlCommon.h"

namespace platform {

struct ComboState : ControlState {
    std::vector<std::wstring> items;
    int selected = -1;
    int droppedHeight = 0; // the height given at creation: closed field and list together
    bool dropped = false;
    HWND list = nullptr;
    int hot = -1; // the highlighted item while the list is down
    int top = 0;  // the first item the list shows
};

int comboItemHeight(const ComboState &s);
void openDropDown(HWND combo);
void closeDropDown(HWND combo);
// Selects the item (notifying the parent when it changed) and closes the list.
void chooseItem(HWND combo, int index);
// Highlights an item of the down list and scrolls it into view.
void setHotItem(ComboState &s, int index);

} // namespace platform
