#pragma once

#include <QByteArray>
#include <QString>

// The entry that starts a program when the operator logs in to the desktop: a desktop entry
// file "<program title>.desktop" in the autostart folder of the user's configuration
// ($XDG_CONFIG_HOME/autostart, ~/.config/autostart by default). The file is the truth: it is
// read whenever its state is asked for, so that an entry removed or switched off in the
// desktop's own settings shows as off. Each copy of the program under another title has an
// entry of its own.
class AutostartEntry
{
public:
    AutostartEntry(const QString &programTitle, const QString &programPath);
    // A given configuration folder instead of the environment's.
    AutostartEntry(const QString &programTitle, const QString &programPath, const QString &configHome);

    // $XDG_CONFIG_HOME when it is an absolute path, otherwise ~/.config.
    static QString configHome();
    // The Exec value that starts the program at that path, with no arguments: quoted when
    // the path needs it, escaped as a desktop entry's string value.
    static QString execValue(const QString &programPath);

    QString filePath() const { return m_filePath; }
    // The file is there and neither hidden nor switched off.
    bool isEnabled() const;
    QByteArray contents() const;
    // Both return an empty text on success, otherwise what went wrong, path and reason.
    QString enable() const;
    QString disable() const;

private:
    QString m_programTitle;
    QString m_programPath;
    QString m_filePath;
};
