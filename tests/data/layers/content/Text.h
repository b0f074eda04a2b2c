#pragma once

#include "./Text.h"
#include <cstdint>
