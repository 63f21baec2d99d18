// Internal to the layer: the object behind a drop handle.
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace platform {

// A drop handle holding the paths of one drop; DragFinish frees it.
HDROP createDrop(std::vector<std::wstring> files, POINT point);

} // namespace platform
