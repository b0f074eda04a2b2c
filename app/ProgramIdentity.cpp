#include "ProgramIdentity.h"

#include "platform/ProgramSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>

namespace ProgramIdentity {

QString title()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString folder()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
}

void adopt()
{
    const QString name = title();
    QCoreApplication::setApplicationName(name);
    QGuiApplication::setApplicationDisplayName(name);
    programSettings().setSettingsKey(ProgramSettings::settingsRoot() + name);
}

} // namespace ProgramIdentity
