#pragma once

#include "platform/HistoryList.h"

#include <QComboBox>
#include <optional>

class QKeyEvent;

// An editable combo box whose list is the operator's most recent texts, kept in the
// settings store under Key, and which completes the text from that list while the
// operator types.
//
// The owner listens to the box's own signals, not to QComboBox's: text set by the program
// (loading, adding, completing) must not look like an edit by the operator.
class THistoryComboBox : public QComboBox
{
    Q_OBJECT
public:
    // The roots of the key. Only hkCurrentUser has a store on this system.
    enum TRootKey : quint8 { hkClassesRoot, hkCurrentConfig, hkCurrentUser, hkDynData, hkLocalMachine, hkUsers };
    Q_ENUM(TRootKey)

    Q_PROPERTY(QString Key READ key WRITE setKey)
    Q_PROPERTY(int MaxHistoryLength READ maxHistoryLength WRITE setMaxHistoryLength)
    Q_PROPERTY(TRootKey RootKey READ rootKey WRITE setRootKey)

    explicit THistoryComboBox(QWidget *parent = nullptr);

    // Relative to the root, without a leading backslash; empty means the history is not stored.
    QString key() const { return m_key; }
    void setKey(const QString &key) { m_key = key; }
    int maxHistoryLength() const { return m_maxHistoryLength; }
    void setMaxHistoryLength(int length) { m_maxHistoryLength = length; }
    TRootKey rootKey() const { return m_rootKey; }
    void setRootKey(TRootKey root);

    // Both return the error text when something went wrong, nothing otherwise.
    std::optional<QString> LoadHistory();
    std::optional<QString> SaveHistory();
    void AddToHistory(const QString &text);

    QStringList entries() const;
    // Text the program puts into the edit field: not an edit by the operator.
    void setText(const QString &text) { setTextQuietly(text); }

signals:
    void textChangedByOperator(const QString &text);
    void entrySelected(int index);
    // The list has closed; raised after the pick it closed for, if any, has been reported.
    void closeUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    HistoryList history() const;
    void setEntries(const QStringList &entries);
    std::optional<QString> storeKeyPath(QString &path) const;
    bool handleKey(QKeyEvent *event);
    void eraseBackwards();
    bool completeWith(QChar typed);
    void deselectEntryKeepingText();
    void setTextQuietly(const QString &text);
    void closeUpAfterThePick();

    QString m_key;
    int m_maxHistoryLength = HistoryList::DefaultMaxHistoryLength;
    TRootKey m_rootKey = hkCurrentUser;
    bool m_quiet = false; // set while the program itself edits the text
};
