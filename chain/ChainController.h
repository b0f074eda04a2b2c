#pragma once

#include "MqttClient.h"
#include "OfficeRoster.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

class BoardContent;
class ProgramSettings;

// The office's part in a chain of offices, as its settings give it. The head office
// publishes its rate table whenever it changes (after a quiet second, or at once when the
// cashier leaves a field) and again after each reconnect; a branch applies each newer table
// it receives in one step and tells the chain which version it shows. A stand-alone office
// connects to nothing.
class ChainController : public QObject
{
    Q_OBJECT
public:
    enum class Role { Alone, Branch, HeadOffice };

    static constexpr int kQuietMs = 1000;
    // Typing a broker address must not open a connection per keystroke.
    static constexpr int kRestartDelayMs = 400;

    ChainController(BoardContent &content, ProgramSettings &settings, QObject *parent = nullptr);
    ~ChainController() override;

    // Shown beside a branch's rate editors, which the head office fills.
    static QString readOnlyNote();

    Role role() const { return m_role; }
    bool ratesReadOnly() const { return m_role == Role::Branch; }
    // Connected since when, or why not, for the cashier.
    QString statusText() const;
    // The status tells of a fault (shown in red).
    bool statusIsTrouble() const { return m_trouble || m_noteIsTrouble; }
    bool isConnected() const { return m_client->isConnected(); }
    // The head office's list of the offices on the chain.
    const QVector<SeenOffice> &offices() const { return m_roster.offices(); }
    // The version of the table this office published (head office) or shows (branch).
    qint64 version() const { return m_version; }

    // Publishes a waiting change of the head office's table now (the cashier left a field).
    void flush();
    // Takes the settings as they are now, without the typing pause.
    void restartNow();
    // The program closes: the chain hears that the office goes offline, and every connection
    // of this office ends before this returns.
    void stop();

signals:
    void ratesReadOnlyChanged(bool readOnly);
    void statusChanged();
    void officesChanged();
    // A branch applied the head office's table of this version.
    void ratesApplied(qint64 version);
    // The head office handed this version to the broker.
    void ratesPublished(qint64 version);

private:
    void scheduleRestart();
    void leaveChain();
    void newClient();
    QString sessionProblem() const;
    MqttSession session() const;
    void tableEdited();
    void onConnected();
    void onDisconnected(const QString &reason);
    void onMessage(const QString &topic, const QByteArray &payload);
    void receiveRates(const QByteArray &payload);
    void applyRates(const QByteArray &payload);
    void noteHeadOfficeVersion(const QByteArray &payload);
    void receiveOfficeStatus(const QString &office, const QByteArray &payload);
    void publishTable();
    void publishStatus(bool online);
    void setConnectionState(const QString &text, bool trouble);
    void setNote(const QString &note, bool trouble);

    BoardContent &m_content;
    ProgramSettings &m_settings;
    // The connection of the present settings; one of earlier settings ends on its own thread
    // (a broker's name may take the resolver seconds) and is deleted when it has.
    MqttClient *m_client = nullptr;
    QTimer m_quiet;
    QTimer m_restart;
    Role m_role = Role::Alone;
    QString m_chainId;
    QString m_office;
    qint64 m_version = 0;
    // The head office's table changed since it was last handed to the broker.
    bool m_dirty = false;
    qint64 m_staleToldFor = 0;
    QDateTime m_connectedSince;
    QString m_connectionText;
    bool m_trouble = false;
    QString m_note;
    bool m_noteIsTrouble = false;
    OfficeRoster m_roster;
};
