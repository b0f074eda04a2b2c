#pragma once

#include <QString>
#  include "controls/Button.h"
