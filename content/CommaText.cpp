#include "CommaText.h"

#include <algorithm>

namespace CommaText {

namespace {

constexpr QChar Quote = u'"';
constexpr QChar Comma = u',';

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

bool needsQuotes(QStringView entry)
{
    return std::any_of(entry.begin(), entry.end(), [](QChar c) {
        return c.unicode() <= 32 || c == Quote || c == Comma;
    });
}

void appendQuoted(QString &text, QStringView entry)
{
    text += Quote;
    for (qsizetype start = 0;;) {
        const qsizetype quote = entry.indexOf(Quote, start);
        if (quote < 0) {
            text += entry.sliced(start);
            break;
        }
        text += entry.sliced(start, quote + 1 - start);
        text += Quote;
        start = quote + 1;
    }
    text += Quote;
}

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

// Reads the quoted field that starts at `at`; returns the position after its closing quote,
// or the end of the text when it has none.
qsizetype readQuoted(QStringView text, qsizetype at, QString &field)
{
    for (qsizetype start = at + 1;;) {
        const qsizetype quote = text.indexOf(Quote, start);
        if (quote < 0) {
            field += text.sliced(start);
            return text.size();
        }
        field += text.sliced(start, quote - start);
        if (quote + 1 >= text.size() || text[quote + 1] != Quote)
            return quote + 1;
        field += Quote;
        start = quote + 2;
    }
}

qsizetype readPlain(QStringView text, qsizetype at, QString &field)
{
    qsizetype end = at;
    while (end < text.size() && !isBlank(text[end]) && text[end] != Comma)
        ++end;
    field = text.sliced(at, end - at).toString();
    return end;
}

// Past the blanks and the one comma that may follow a field, and the blanks after it.
qsizetype skipSeparator(QStringView text, qsizetype at, QStringList &entries)
{
    at = skipBlanks(text, at);
    if (at < text.size() && text[at] == Comma) {
        if (at + 1 == text.size())
            entries.append(QString());
        at = skipBlanks(text, at + 1);
    }
    return at;
}

} // namespace

QString write(const QStringList &entries)
{
    if (entries.size() == 1 && entries.first().isEmpty())
        return QStringLiteral("\"\"");
    qsizetype length = 0;
    for (const QString &entry : entries)
        length += entry.size() + 3;
    QString text;
    text.reserve(length);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i > 0)
            text += Comma;
        if (needsQuotes(entries[i]))
            appendQuoted(text, entries[i]);
        else
            text += entries[i];
    }
    return text;
}

QStringList read(QStringView text)
{
    QStringList entries;
    for (qsizetype at = skipBlanks(text, 0); at < text.size();) {
        QString field;
        at = text[at] == Quote ? readQuoted(text, at, field) : readPlain(text, at, field);
        entries.append(std::move(field));
        at = skipSeparator(text, at, entries);
    }
    return entries;
}

} // namespace CommaText
