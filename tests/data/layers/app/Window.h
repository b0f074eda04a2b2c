#pragma once

#include "web/Server.h"
#include "board/Frame.h"
#include "content/Text.h"
#include <QWidget>
