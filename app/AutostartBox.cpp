#include "AutostartBox.h"

#include "platform/ErrorBox.h"

TAutostartBox::TAutostartBox(const AutostartEntry &entry, QWidget *parent)
    : QCheckBox(QStringLiteral("Запускать при входе в систему"), parent)
    , m_entry(entry)
{
    setObjectName(QStringLiteral("cbAutostart"));
    showState();
    // Only the operator's clicks change the disk; showing its state does not.
    connect(this, &QCheckBox::clicked, this, &TAutostartBox::apply);
}

void TAutostartBox::showState()
{
    setChecked(m_entry.isEnabled());
}

void TAutostartBox::apply(bool wanted)
{
    const QString error = wanted ? m_entry.enable() : m_entry.disable();
    if (!error.isEmpty())
        ErrorBox::show(tr("Не удалось изменить запуск программы при входе в систему. "
                          "Проверьте права на папку автозапуска.\n%1").arg(error), window());
    showState();
}
