#include "ProgramSettings.h"

ProgramSettings &programSettings()
{
    static ProgramSettings settings;
    return settings;
}
