#pragma once

#include "platform/JournalReader.h"

#include <QSqlQueryModel>

// The journal's entries as the list shows them, newest first: time, source, currency, buy
// old → new, sell old → new. Rows are fetched from the file as the view scrolls.
class JournalListModel : public QSqlQueryModel
{
    Q_OBJECT
public:
    enum Column { Time, Source, Currency, Buy, Sell, ColumnCount };

    using QSqlQueryModel::QSqlQueryModel;

    // Shows the entries the selection picks from the database; the error text or empty.
    QString select(const QSqlDatabase &db, const JournalReader::Selection &selection);
    JournalEntry entryAt(int row) const;

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // "92,50 → 93,10"; just the new value for a row that had none.
    static QString change(const QString &before, const QString &after);
};
