#pragma once

#include "FontRecord.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>

// The six band proportions of the board, in percent of its height or width.
struct Proportions
{
    int ProTop = 20;  // title band, of the height
    int ProBot = 10;  // bottom line, of the height
    int ProTit = 10;  // date and heading band, of the height
    int ProTitL = 30; // date cell, of the width
    int ProName = 35; // name column, of the width
    int ProTit2 = 10; // buy/sell header, of the height

    static constexpr int kCount = 6;
    // The proportions in the order of their fields on the proportions tab (tags 0..5).
    int at(int tag) const;
    void set(int tag, int value);

    friend bool operator==(const Proportions &, const Proportions &) = default;
};

// The settings shared by the whole program, and their one owner: every view of them (the
// boards, the operator window, the store writer) learns of a change through its signals, so
// nothing that changes a value has to know who keeps it.
class ProgramSettings : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString SettingsKey READ settingsKey WRITE setSettingsKey)
    Q_PROPERTY(QString FileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    Q_PROPERTY(int TitleMode READ titleMode WRITE setTitleMode NOTIFY titleModeChanged)
    Q_PROPERTY(bool TV READ tv WRITE setTV NOTIFY tvChanged)
    Q_PROPERTY(QString RateTableText READ rateTableText WRITE setRateTableText NOTIFY rateTableTextChanged)
    Q_PROPERTY(QStringList RunningTexts READ runningTexts WRITE setRunningTexts NOTIFY runningTextsChanged)
    Q_PROPERTY(int RsSpeed READ runSpeed WRITE setRunSpeed NOTIFY runSpeedChanged)
    Q_PROPERTY(bool WebBoard READ webBoardOn WRITE setWebBoardOn NOTIFY webBoardOnChanged)
    Q_PROPERTY(int WebPort READ webBoardPort WRITE setWebBoardPort NOTIFY webBoardPortChanged)
    Q_PROPERTY(QString WebAllow READ webBoardAllowed WRITE setWebBoardAllowed NOTIFY webBoardAllowedChanged)
    Q_PROPERTY(int ChainRole READ chainRole WRITE setChainRole NOTIFY chainRoleChanged)
    Q_PROPERTY(QString ChainUrl READ chainUrl WRITE setChainUrl NOTIFY chainConnectionChanged)
    Q_PROPERTY(QString ChainId READ chainId WRITE setChainId NOTIFY chainConnectionChanged)
    Q_PROPERTY(QString ChainOffice READ chainOffice WRITE setChainOffice NOTIFY chainConnectionChanged)
    Q_PROPERTY(QString ChainUser READ chainUser WRITE setChainUser NOTIFY chainConnectionChanged)
    Q_PROPERTY(QString ChainPassword READ chainPassword WRITE setChainPassword NOTIFY chainConnectionChanged)
    Q_PROPERTY(QString ChainCaFile READ chainCaFile WRITE setChainCaFile NOTIFY chainConnectionChanged)
    Q_PROPERTY(qint64 ChainVersion READ chainVersion WRITE setChainVersion NOTIFY chainVersionChanged)
    Q_PROPERTY(bool SettingsLoaded READ settingsLoaded)
public:
    // The store's root key; the program title follows it.
    static QString settingsRoot();

    explicit ProgramSettings(QObject *parent = nullptr);

    // Back to the values of a first run, without telling anybody (tests and benchmarks).
    void reset();

    QString settingsKey() const { return m_settingsKey; }
    void setSettingsKey(const QString &key) { m_settingsKey = key; }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName);

    int titleMode() const { return m_titleMode; }
    void setTitleMode(int mode);

    bool tv() const { return m_tv; }
    void setTV(bool on);

    const Proportions &proportions() const { return m_proportions; }
    void setProportions(const Proportions &proportions);
    void setProportion(int tag, int value);

    QString rateTableText() const { return m_rateTableText; }
    // An edited table also ends keeping a stored one that could not be read.
    void setRateTableText(const QString &text);
    // The stored table could not be read: it stays in the store until the operator edits.
    bool keepsStoredTable() const { return m_keepStoredTable; }
    void keepStoredTable() { m_keepStoredTable = true; }

    // The fonts of the nine board fields as their records "F1".."F9" keep them (field 1..9).
    static constexpr int kFontFields = 9;
    BoardFont fontRecord(int field) const;
    void setFontRecord(int field, const BoardFont &font);

    // The running-text playlist's entries, and the ticker's step (1..9 as the field shows it).
    QStringList runningTexts() const { return m_runningTexts; }
    void setRunningTexts(const QStringList &texts);
    int runSpeed() const { return m_runSpeed; }
    void setRunSpeed(int speed);

    // The web board on the office network: whether it is served, and on which TCP port. A
    // port outside 1..65535 is no port at all, so such a value is ignored and the port stays.
    static constexpr int kFirstPort = 1;
    static constexpr int kLastPort = 65535;
    static constexpr int kDefaultWebBoardPort = 8080;
    bool webBoardOn() const { return m_webBoardOn; }
    void setWebBoardOn(bool on);
    int webBoardPort() const { return m_webBoardPort; }
    void setWebBoardPort(int port);
    // Who may open the web board: CIDR ranges; empty for loopback and the private networks.
    QString webBoardAllowed() const { return m_webBoardAllowed; }
    void setWebBoardAllowed(const QString &ranges);

    // The office's place in a chain of offices: 0 stands alone, 1 is a branch that takes
    // the head office's rates, 2 is the head office. A value outside these is ignored.
    static constexpr int kChainAlone = 0;
    static constexpr int kChainBranch = 1;
    static constexpr int kChainHeadOffice = 2;
    int chainRole() const { return m_chainRole; }
    void setChainRole(int role);
    // How the office reaches the chain's broker; any of them changing is one signal, since
    // each one means a new connection.
    QString chainUrl() const { return m_chainUrl; }
    void setChainUrl(const QString &url);
    QString chainId() const { return m_chainId; }
    void setChainId(const QString &id);
    QString chainOffice() const { return m_chainOffice; }
    void setChainOffice(const QString &office);
    QString chainUser() const { return m_chainUser; }
    void setChainUser(const QString &user);
    // Kept only here and in the settings file; never logged or shown.
    QString chainPassword() const { return m_chainPassword; }
    void setChainPassword(const QString &password);
    QString chainCaFile() const { return m_chainCaFile; }
    void setChainCaFile(const QString &path);
    // The version of the chain's rate table this office last published or applied; it only
    // grows, across restarts too. Zero or less is ignored.
    qint64 chainVersion() const { return m_chainVersion; }
    void setChainVersion(qint64 version);

    // The title texts entered before, most recent first, as the title's history list holds them.
    QStringList titleHistory() const { return m_titleHistory; }
    void setTitleHistory(const QStringList &history);

    // The operator window's outer bounds as they were last seen on screen.
    QRect windowBounds() const { return m_windowBounds; }
    void setWindowBounds(const QRect &bounds);

    // Once start-up has loaded everything; the program never sets it back.
    bool settingsLoaded() const { return m_settingsLoaded; }
    void setSettingsLoaded(bool loaded = true) { m_settingsLoaded = loaded; }

signals:
    // Any value that the store keeps has changed.
    void changed();
    void fileNameChanged();
    void titleModeChanged();
    void tvChanged(bool on);
    void proportionsChanged();
    void rateTableTextChanged();
    void windowBoundsChanged();
    void runningTextsChanged();
    void fontRecordsChanged();
    void runSpeedChanged();
    void webBoardOnChanged(bool on);
    void webBoardPortChanged(int port);
    void webBoardAllowedChanged(const QString &ranges);
    void titleHistoryChanged();
    void chainRoleChanged(int role);
    void chainConnectionChanged();
    void chainVersionChanged(qint64 version);

private:
    template<typename T, typename Signal>
    void assign(T &member, const T &value, Signal signal);

    QString m_settingsKey;
    QString m_fileName;
    int m_titleMode = 0;
    bool m_tv = false;
    Proportions m_proportions;
    QString m_rateTableText;
    bool m_keepStoredTable = false;
    QRect m_windowBounds;
    std::array<BoardFont, kFontFields> m_fontRecords{};
    QStringList m_runningTexts;
    int m_runSpeed = 1;
    bool m_webBoardOn = false;
    int m_webBoardPort = kDefaultWebBoardPort;
    QString m_webBoardAllowed;
    QStringList m_titleHistory;
    int m_chainRole = kChainAlone;
    QString m_chainUrl;
    QString m_chainId;
    QString m_chainOffice;
    QString m_chainUser;
    QString m_chainPassword;
    QString m_chainCaFile;
    qint64 m_chainVersion = 0;
    bool m_settingsLoaded = false;
};

// The one instance of the program's settings.
ProgramSettings &programSettings();
