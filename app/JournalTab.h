#pragma once

#include "app/JournalFilter.h"

#include <QDateTime>
#include <QWidget>

#include <functional>
#include <memory>

class Dialogs;
class JournalListModel;
class JournalReader;
class QComboBox;
class QDateEdit;
class QPushButton;
class QTableView;

// The "Журнал" tab: the journal's entries newest first, filtered by days and currency, with
// the CSV export and the rate order. What it lists and writes is decided by JournalFilter,
// JournalReader and the export functions; the tab only carries the operator's choices there.
class JournalTab : public QWidget
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    // The window's dialogs as they are when a button is clicked (tests swap them).
    using DialogsSource = std::function<Dialogs &()>;

    // The office the rate order names, asked when an order is written: the settings may
    // name it only after the tab is made.
    using OfficeSource = std::function<QString()>;
    JournalTab(const QString &journalPath, OfficeSource office, DialogsSource dialogs,
               Clock clock = [] { return QDateTime::currentDateTime(); }, QWidget *parent = nullptr);
    ~JournalTab() override;

    // Reads the list again (the journal grew, or the tab is shown).
    void refresh();

    QDateEdit *dateFrom;
    QDateEdit *dateTo;
    QComboBox *currency;
    QTableView *list;
    QPushButton *exportButton;
    QPushButton *orderButton;

protected:
    void showEvent(QShowEvent *event) override;

private:
    JournalReader *reader();
    void filterChanged();
    void exportClick();
    void orderClick();
    void fillCurrencies();

    QString m_path;
    OfficeSource m_office;
    DialogsSource m_dialogs;
    Clock m_clock;
    JournalFilter m_filter;
    std::unique_ptr<JournalReader> m_reader;
    JournalListModel *m_model;
    bool m_refreshing = false;
};
