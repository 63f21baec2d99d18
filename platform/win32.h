// The one header the program includes for the desktop interface. The declarations are split by
// area; each area is implemented in the folder of the same name under platform/.
#pragma once

#include "platform/win32_types.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "platform/gdi.h"
#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/wavein.h"
#include "platform/input.h"
#include "platform/screen.h"
