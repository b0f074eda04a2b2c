#include "Store.h"

#include "content/Text.h"
#include "desktop/List.h"
// #include "app/Window.h" is not an include: a comment
