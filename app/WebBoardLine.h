#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// The web board on the settings tab: keeps "WebBoard", "WebPort" and "WebAllow" in the program's
// settings, asks the web server to start and stop as the operator switches it and picks
// ports, and from the server's reports makes what the group shows: the status line, and
// while the server listens the addresses to open and the text of the QR code.
//
// Until start-up has loaded the settings (startUp()), their changes are no requests: the
// stored values are only being read then.
class WebBoardLine : public QObject
{
    Q_OBJECT
public:
    // Where the addresses of this machine come from at each start of the server.
    using AddressSource = std::function<QList<QHostAddress>()>;

    static const QString kStoppedText;
    static const QString kListeningText;

    // The machine's own addresses.
    explicit WebBoardLine(QObject *parent = nullptr);
    explicit WebBoardLine(AddressSource addresses, QObject *parent = nullptr);

    bool switchedOn() const;
    int port() const;
    // Who may connect, as the operator wrote it; empty for the default.
    QString allowedRanges() const;

    QStringList addressLines() const { return m_shown.addressLines; }
    // The first address: the one a phone is most likely to reach.
    QString qrText() const { return m_shown.addressLines.value(0); }
    QString statusText() const { return m_shown.statusText; }
    // The server could not do what it was asked; the text says why.
    bool statusIsError() const { return m_shown.statusIsError; }
    bool addressesVisible() const { return !m_shown.addressLines.isEmpty(); }

    // The settings are loaded: a board stored as switched on is started.
    void startUp();
    // The operator's check box and port field.
    void switchOn(bool on);
    void choosePort(int port);
    void chooseAllowedRanges(const QString &ranges);

public slots:
    void serverListening(quint16 port);
    void serverFailed(const QString &message);
    void serverStopped();

signals:
    // A start request always finds the server stopped: a new port is a stop, then a start.
    void startRequested(quint16 port);
    void stopRequested();

    void switchedOnChanged(bool on);
    void portChanged(int port);
    void allowedRangesChanged(const QString &ranges);
    void addressLinesChanged(const QStringList &lines);
    void qrTextChanged(const QString &text);
    void statusChanged(const QString &text, bool isError);
    void addressesVisibleChanged(bool visible);

private:
    enum class State { Stopped, Starting, Listening, Failed };

    struct Shown
    {
        QStringList addressLines;
        QString statusText;
        bool statusIsError = false;
    };

    void followSwitch(bool on);
    void followPort(int port);
    void requestStart();
    void requestStop();
    void show(State state, const Shown &shown);

    AddressSource m_addresses;
    bool m_started = false;
    State m_state = State::Stopped;
    Shown m_shown;
};
