#pragma once

#include "platform/Store.h"
#include "content/Text.h"
#include "desktop/Tray.h"
