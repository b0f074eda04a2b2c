#pragma once

#include <QString>
#  include "controls/Button.h"
#include "content/../board/Frame.h"
