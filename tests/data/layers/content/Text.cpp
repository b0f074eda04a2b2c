#include "Text.h"

#include "../platform/Store.h"
#include <QStringView>
