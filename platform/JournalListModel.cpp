#include "platform/JournalListModel.h"

#include "platform/JournalSql.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

QString JournalListModel::select(const QSqlDatabase &db, const JournalReader::Selection &selection)
{
    QSqlQuery query(db);
    query.prepare(selection.sql);
    for (int i = 0; i < selection.values.size(); ++i)
        query.bindValue(i, selection.values[i]);
    if (!query.exec())
        return query.lastError().text();
    setQuery(std::move(query));
    return lastError().isValid() ? lastError().text() : QString();
}

// The row's raw columns, read past the few this model shows (and past its own data(), which
// QSqlQueryModel::record(row) would ask).
JournalEntry JournalListModel::entryAt(int row) const
{
    QSqlRecord raw = record();
    for (int column = 0; column < raw.count(); ++column)
        raw.setValue(column, QSqlQueryModel::data(createIndex(row, column), Qt::EditRole));
    return JournalSql::readEntry(raw);
}

int JournalListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString JournalListModel::change(const QString &before, const QString &after)
{
    if (before.isEmpty() || before == after)
        return after;
    return before + QStringLiteral(" → ") + after;
}

QVariant JournalListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() >= ColumnCount)
        return {};
    const JournalEntry e = entryAt(index.row());
    switch (index.column()) {
    case Time: return journalTimeText(e.time);
    case Source: return journalSourceText(e);
    case Currency: return change(e.before.code, e.after.code) + QLatin1Char(' ') + e.after.name;
    case Buy: return change(e.before.buy, e.after.buy);
    case Sell: return change(e.before.sell, e.after.sell);
    }
    return {};
}

QVariant JournalListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QSqlQueryModel::headerData(section, orientation, role);
    switch (section) {
    case Time: return tr("Время");
    case Source: return tr("Источник");
    case Currency: return tr("Валюта");
    case Buy: return tr("Покупка");
    case Sell: return tr("Продажа");
    }
    return {};
}
