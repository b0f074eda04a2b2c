#pragma once

#include <QList>
#include <QProcess>
#include <QRect>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// An X server of the test's own whose monitors can be plugged, unplugged and turned while a
// program runs on it: Xorg with the dummy video driver. Xvfb cannot do this: its monitors
// are fixed at start.
//
// Each monitor is one of the driver's outputs (DUMMY0, DUMMY1, ...) showing a mode of the
// monitor's size, so a change reaches Qt the way a real monitor's does: a turned monitor
// changes the geometry of its QScreen, an unplugged one removes it. Monitors made with
// `xrandr --setmonitor` would not do: Qt does not take up a new shape given to a monitor
// it knows by name, so a turn could only be played as an unplug and a replug.
class MonitorServer
{
public:
    // Starts the server; available() tells whether it runs.
    MonitorServer();
    ~MonitorServer();
    MonitorServer(const MonitorServer &) = delete;
    MonitorServer &operator=(const MonitorServer &) = delete;

    bool available() const { return !m_display.isEmpty(); }
    // Why the server does not run, for a skipped test to tell.
    QString whyNot() const { return m_whyNot; }
    // The display name, e.g. ":3".
    QString display() const { return m_display; }

    // Replaces all monitors by these, in this order; the first is the primary one.
    bool setMonitors(const QList<QRect> &bounds);
    // Plugs in a monitor on the first free output; returns its name, or nothing on failure.
    QString addMonitor(const QRect &bounds);
    bool removeMonitor(const QString &name);
    // Moves or turns a monitor: it keeps its name and its place in the list.
    bool resizeMonitor(const QString &name, const QRect &bounds);
    // The names of the monitors plugged in, in the order Qt lists them.
    QStringList monitorNames() const;
    // The monitors as the server lists them now, in its order.
    QList<QRect> monitors() const;

    // Runs an X client on this display; returns what it printed, or nothing when it failed.
    QString run(const QString &program, const QStringList &arguments) const;
    // Saves a picture of everything the server shows.
    bool screenshot(const QString &pngFile) const;

private:
    struct Monitor
    {
        QString output;
        QRect bounds;
    };

    bool start();
    QString serverLogTail() const;
    bool runClient(const QString &program, const QStringList &arguments, QString *output = nullptr) const;
    bool xrandr(const QStringList &arguments) const;
    bool prepareMode(const QString &output, const QSize &size);
    bool apply(const QStringList &outputChanges) const;
    QStringList showOn(const Monitor &monitor) const;
    qsizetype indexOf(const QString &name) const;

    QTemporaryDir m_folder;
    QProcess m_server;
    QString m_display;
    QString m_whyNot;
    QList<Monitor> m_monitors;
    QSet<QString> m_modes;
    QSet<QString> m_outputModes;
};
