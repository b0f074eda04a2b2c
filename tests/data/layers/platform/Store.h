#pragma once

#include <content/Text.h>
#include <board/Frame.h>
