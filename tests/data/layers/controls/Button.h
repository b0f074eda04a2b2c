#pragma once

#include "content/Text.h"
#include "platform/Store.h"
#include "desktop/Tray.h"
