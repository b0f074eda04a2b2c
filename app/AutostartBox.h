#pragma once

#include "desktop/AutostartEntry.h"

#include <QCheckBox>

// The check box "Запускать при входе в систему" of the settings tab. It shows whether the
// program's autostart entry is on disk, and a click writes or removes it; when that fails
// the operator is told why and the box shows what the disk holds.
class TAutostartBox : public QCheckBox
{
    Q_OBJECT
public:
    TAutostartBox(const AutostartEntry &entry, QWidget *parent = nullptr);

    // Reads the entry's state from the disk again.
    void showState();
    const AutostartEntry &entry() const { return m_entry; }

private:
    void apply(bool wanted);

    AutostartEntry m_entry;
};
