#include "AutostartEntry.h"

#include "content/AtomicFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

const QString kFolder = QStringLiteral("autostart");
const QString kGroup = QStringLiteral("[Desktop Entry]");

// A string value's own escapes, which the file's reader undoes first.
QString escapeStringValue(const QString &value)
{
    QString escaped;
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\': escaped += QLatin1String("\\\\"); break;
        case '\n': escaped += QLatin1String("\\n"); break;
        case '\t': escaped += QLatin1String("\\t"); break;
        case '\r': escaped += QLatin1String("\\r"); break;
        default: escaped += c;
        }
    }
    // Leading spaces would be taken for the space around the equals sign.
    if (escaped.startsWith(QLatin1Char(' ')))
        escaped.replace(0, 1, QLatin1String("\\s"));
    return escaped;
}

// One argument of an Exec line: a path with a reserved character goes in double quotes,
// inside which the quote, the backquote, the dollar and the backslash take a backslash.
QString quoteExecArgument(const QString &argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    const bool needsQuotes =
        argument.isEmpty() || std::any_of(argument.begin(), argument.end(), [](QChar c) { return reserved.contains(c); });
    if (!needsQuotes)
        return argument;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('"');
}

// The value of a key of the entry's group, or an empty text.
QString valueOf(const QString &text, const QString &key)
{
    bool inGroup = false;
    for (const QString &rawLine : text.split(QLatin1Char('\n'))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == kGroup;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inGroup && equals > 0 && line.left(equals).trimmed() == key)
            return line.mid(equals + 1).trimmed();
    }
    return {};
}

} // namespace

AutostartEntry::AutostartEntry(const QString &programTitle, const QString &programPath)
    : AutostartEntry(programTitle, programPath, configHome())
{
}

AutostartEntry::AutostartEntry(const QString &programTitle, const QString &programPath, const QString &configHome)
    : m_programTitle(programTitle)
    , m_programPath(programPath)
    , m_filePath(QDir(configHome).filePath(kFolder + QLatin1Char('/') + programTitle + QStringLiteral(".desktop")))
{
}

QString AutostartEntry::configHome()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

QString AutostartEntry::execValue(const QString &programPath)
{
    // A percent sign would start a field code.
    QString argument = quoteExecArgument(programPath);
    argument.replace(QLatin1Char('%'), QLatin1String("%%"));
    return escapeStringValue(argument);
}

bool AutostartEntry::isEnabled() const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = QString::fromUtf8(file.readAll());
    return valueOf(text, QStringLiteral("Hidden")) != QLatin1String("true")
           && valueOf(text, QStringLiteral("X-GNOME-Autostart-enabled")) != QLatin1String("false");
}

QByteArray AutostartEntry::contents() const
{
    const QStringList lines{
        kGroup,
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=") + escapeStringValue(m_programTitle),
        QStringLiteral("Comment=Табло курсов валют"),
        QStringLiteral("Exec=") + execValue(m_programPath),
        QStringLiteral("Icon=corvane"),
        QStringLiteral("Terminal=false"),
        QStringLiteral("X-GNOME-Autostart-enabled=true"),
    };
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

QString AutostartEntry::enable() const
{
    return AtomicFile::replace(m_filePath, contents());
}

QString AutostartEntry::disable() const
{
    QFile file(m_filePath);
    if (!file.exists() || file.remove())
        return {};
    return m_filePath + QStringLiteral(": ") + file.errorString();
}
