#pragma once

#include "Layout.h"
#include "content/Text.h"
#include "controls/Button.h"
#include "desktop/Tray.h"
#include "platform/Store.h"
