#pragma once

#include <QString>

#include <optional>

class ProgramSettings;
class SettingsStore;

// The operator window's position as far as the store held it.
struct StoredWindowPosition
{
    std::optional<int> left;
    std::optional<int> top;
};

// Reads the program-wide values of the store into the settings, in their fixed order: the
// guarded group first ("Left" to "RsSpeed"; the first value that is missing or of another
// type ends it silently, keeping what was read before), then the running-text list ("RS",
// comma text), the rate table, and last the web board ("WebBoard", "WebPort", "WebAllow"), each on its
// own: a value that is missing, of another type or no port keeps what the settings hold. A
// table stored as anything but text counts as missing and is kept in the store until the
// operator edits.
StoredWindowPosition readStoredSettings(ProgramSettings &settings, const SettingsStore &store);

// The sub key of the program's key that holds the title history ("H0", "H1", ...).
extern const QString kTitleHistoryKey;

// Writes every program-wide value into the store, in the order of the exit: the window
// bounds, "FileName", "TitleMode", "TV", the six proportions, the fonts, the rate table,
// the running-text list and its speed, the web board's switch and port, and last the title
// history in its own sub key.
void writeStoredSettings(const ProgramSettings &settings, SettingsStore &store);
