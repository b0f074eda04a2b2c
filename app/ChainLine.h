#pragma once

#include "chain/OfficeRoster.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

class ChainController;
class ProgramSettings;

// The chain of offices on the settings tab: hands the operator's role and connection fields
// to the program's settings (their one owner) and makes what the group shows from the
// settings and the chain's state: which fields count, the status line and the offices list.
class ChainLine : public QObject
{
    Q_OBJECT
public:
    enum class Field { Url, Chain, Office, User, Password, CaFile };

    // The role list's entries, in the order of the stored "ChainRole".
    static QStringList roleNames();
    // One line of the head office's list: office, online or not, its version, last heard.
    static QString officeLine(const SeenOffice &office);

    explicit ChainLine(ProgramSettings &settings, QObject *parent = nullptr);

    // Shows the chain's status and offices from now on.
    void follow(const ChainController &chain);

    int role() const;
    QString fieldText(Field field) const;
    // The connection fields mean something only when the office takes part in a chain.
    bool connectionFieldsEnabled() const;
    // Only the head office hears every office.
    bool officesVisible() const;
    QString statusText() const { return m_statusText; }
    bool statusIsError() const { return m_statusIsError; }
    QStringList officeLines() const { return m_officeLines; }

    void chooseRole(int role);
    void chooseField(Field field, const QString &text);

signals:
    void roleChanged(int role);
    void fieldsChanged();
    void statusChanged(const QString &text, bool isError);
    void officeLinesChanged(const QStringList &lines);

private:
    void showStatus(const QString &text, bool isError);
    void showOffices(const QVector<SeenOffice> &offices);

    ProgramSettings &m_settings;
    QString m_statusText;
    bool m_statusIsError = false;
    QStringList m_officeLines;
};
