#include "RatesMessage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>

namespace {

using namespace ChainRatesLimits;

ChainRatesReading refused(const QString &reason)
{
    return {false, {}, reason};
}

bool isValidUtf8(const QByteArray &payload)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(payload);
    return !decoder.hasError();
}

// A field the boards can show as it is: short, and nothing that would move the text.
QString fieldProblem(const QString &field)
{
    if (field.size() > kMaxFieldLength)
        return QStringLiteral("поле длиннее %1 знаков").arg(kMaxFieldLength);
    for (const QChar c : field) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return QStringLiteral("управляющий символ в поле");
    }
    return {};
}

// Reads one text field of an object; sets `problem` when it is missing, not text or bad.
QString textField(const QJsonObject &object, const char *name, QString &problem)
{
    const QJsonValue value = object.value(QLatin1String(name));
    if (!value.isString()) {
        problem = QStringLiteral("нет текстового поля «%1»").arg(QLatin1String(name));
        return {};
    }
    const QString text = value.toString();
    const QString bad = fieldProblem(text);
    if (!bad.isEmpty())
        problem = QStringLiteral("%1 «%2»").arg(bad, QLatin1String(name));
    return text;
}

bool readVersion(const QJsonValue &value, qint64 &version)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    if (!(number >= 1) || number > double(kMaxVersion) || std::floor(number) != number)
        return false;
    version = qint64(number);
    return true;
}

QString readRows(const QJsonValue &value, QVector<RateRow> &rows)
{
    if (!value.isArray())
        return QStringLiteral("нет списка курсов «rates»");
    const QJsonArray array = value.toArray();
    if (array.size() > kMaxRows)
        return QStringLiteral("строк курсов больше %1").arg(kMaxRows);
    for (const QJsonValue &item : array) {
        if (!item.isObject())
            return QStringLiteral("строка курсов не объект");
        const QJsonObject object = item.toObject();
        QString problem;
        RateRow row;
        row.code = textField(object, "code", problem);
        row.buy = problem.isEmpty() ? textField(object, "buy", problem) : QString();
        row.sell = problem.isEmpty() ? textField(object, "sell", problem) : QString();
        row.name = problem.isEmpty() ? textField(object, "name", problem) : QString();
        if (!problem.isEmpty())
            return problem;
        rows.append(row);
    }
    return {};
}

// The time of the change must carry its offset, so that every office reads the same moment.
bool readChanged(const QString &text, QDateTime &changed)
{
    static const QRegularExpression offset(QStringLiteral("T.*(Z|[+-]\\d\\d(:?\\d\\d)?)$"));
    changed = QDateTime::fromString(text, Qt::ISODate);
    return changed.isValid() && offset.match(text).hasMatch();
}

} // namespace

ChainRatesReading readChainRates(const QByteArray &payload)
{
    if (payload.size() > kMaxPayloadBytes)
        return refused(QStringLiteral("сообщение больше %1 КБ").arg(kMaxPayloadBytes / 1024));
    if (!isValidUtf8(payload))
        return refused(QStringLiteral("текст не в кодировке UTF-8"));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError)
        return refused(QStringLiteral("не JSON: %1").arg(error.errorString()));
    if (!document.isObject())
        return refused(QStringLiteral("JSON не объект"));
    const QJsonObject root = document.object();

    ChainRates rates;
    if (!readVersion(root.value(QLatin1String("version")), rates.version))
        return refused(QStringLiteral("версия не целое положительное число"));
    QString problem;
    const QString changed = textField(root, "changed", problem);
    if (problem.isEmpty() && !readChanged(changed, rates.changed))
        problem = QStringLiteral("время «changed» не в формате ISO 8601 со смещением");
    if (problem.isEmpty())
        rates.from = textField(root, "from", problem);
    if (problem.isEmpty())
        problem = readRows(root.value(QLatin1String("rates")), rates.rates);
    if (!problem.isEmpty())
        return refused(problem);
    return {true, rates, {}};
}

QByteArray writeChainRates(const ChainRates &rates)
{
    QJsonArray rows;
    for (const RateRow &row : rates.rates) {
        rows.append(QJsonObject{{QStringLiteral("code"), row.code},
                                {QStringLiteral("buy"), row.buy},
                                {QStringLiteral("sell"), row.sell},
                                {QStringLiteral("name"), row.name}});
    }
    const QJsonObject root{{QStringLiteral("version"), double(rates.version)},
                           {QStringLiteral("changed"), rates.changed.toOffsetFromUtc(rates.changed.offsetFromUtc())
                                                           .toString(Qt::ISODate)},
                           {QStringLiteral("from"), rates.from},
                           {QStringLiteral("rates"), rows}};
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}
