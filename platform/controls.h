// Declarations of this area of the layer.
#pragma once

#include "platform/win32_types.h"
