#include "app/JournalCommands.h"

#include "app/Form1.h"
#include "platform/JournalCsv.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"
#include "platform/JournalReader.h"
#include "platform/RateJournal.h"
#include "platform/RateOrderPdf.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace JournalCommands {

namespace {

const QString kCsv = QStringLiteral("--journal-csv");
const QString kOrder = QStringLiteral("--rate-order");
const QString kHelp = QStringLiteral("--help");

int fail(QTextStream &errors, const QString &line)
{
    errors << QCoreApplication::applicationName() << ": " << line << Qt::endl;
    return 1;
}

// Why the journal cannot serve a command: missing, damaged or empty; nullopt when it can.
std::optional<QString> unreadable(JournalReader &reader)
{
    if (!reader.error().isEmpty())
        return reader.error();
    if (reader.isEmpty())
        return QObject::tr("the journal holds no entries");
    return std::nullopt;
}

int exportCsv(const QStringList &args, const QString &journalPath, QTextStream &errors)
{
    const QDate from = QDate::fromString(args[0], QStringLiteral("yyyy-MM-dd"));
    const QDate to = QDate::fromString(args[1], QStringLiteral("yyyy-MM-dd"));
    if (!from.isValid() || !to.isValid() || from > to)
        return fail(errors, QObject::tr("bad dates \"%1\" \"%2\": give FROM and TO as YYYY-MM-DD, FROM not after TO")
                                .arg(args[0], args[1]));
    JournalReader reader(journalPath);
    if (const std::optional<QString> why = unreadable(reader))
        return fail(errors, *why);
    const QVector<JournalEntry> entries = reader.entries(from, to, QString());
    if (!reader.error().isEmpty())
        return fail(errors, reader.error());
    if (const std::optional<QString> error = writeJournalCsv(entries, args[2]))
        return fail(errors, *error);
    return 0;
}

int writeOrder(const QStringList &args, const QString &journalPath, const QString &office, QTextStream &errors)
{
    const QDateTime moment = QDateTime::fromString(args[0], QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!moment.isValid())
        return fail(errors, QObject::tr("bad moment \"%1\": give it as \"YYYY-MM-DD HH:MM\"").arg(args[0]));
    JournalReader reader(journalPath);
    if (const std::optional<QString> why = unreadable(reader))
        return fail(errors, *why);
    const std::optional<RatesInForce> rates = reader.ratesAt(moment);
    if (!rates)
        return fail(errors, reader.error().isEmpty() ? QObject::tr("no rates were in force at %1").arg(args[0]) : reader.error());
    if (const std::optional<QString> error = writeRateOrderPdf({office, moment, *rates}, args[1]))
        return fail(errors, *error);
    return 0;
}

bool isCommand(const QString &argument)
{
    return argument == kCsv || argument == kOrder || argument == kHelp || argument == QStringLiteral("-h");
}

// The office the rate order names: the chain's office id where the settings hold one,
// otherwise the program title. No window runs here, so the store is read directly.
QString officeName(const QString &title)
{
    QString office;
    const std::unique_ptr<SettingsStore> store =
        SettingsStore::open(ProgramSettings::settingsRoot() + title, SettingsStore::Mode::OpenExisting);
    if (store && store->readString(QStringLiteral("ChainOffice"), office) && !office.trimmed().isEmpty())
        return office;
    return title;
}

} // namespace

QString usage()
{
    return QObject::tr("Usage: %1 [command]\n"
                       "Without a command the program shows its window.\n"
                       "  --journal-csv FROM TO FILE         writes the journal's entries of the days FROM to TO\n"
                       "                                     (YYYY-MM-DD, both included) to FILE as CSV\n"
                       "  --rate-order \"YYYY-MM-DD HH:MM\" FILE.pdf\n"
                       "                                     writes the rate order for that moment as PDF\n"
                       "  --help                             shows this text\n"
                       "The commands need no display and may run while the program runs.\n"
                       "They exit with 0 when done and with 1 on failure.\n")
        .arg(QCoreApplication::applicationName());
}

int run(const QStringList &arguments, const QString &journalPath, const QString &office, QTextStream &errors)
{
    if (arguments.isEmpty() || !isCommand(arguments[0]))
        return 2;
    const QString command = arguments[0];
    const QStringList args = arguments.mid(1);
    if (command == kCsv && args.size() == 3)
        return exportCsv(args, journalPath, errors);
    if (command == kOrder && args.size() == 2)
        return writeOrder(args, journalPath, office, errors);
    if (command == kHelp || command == QStringLiteral("-h"))
        return fail(errors, QObject::tr("--help takes nothing more"));
    return fail(errors, QObject::tr("%1 takes %2 arguments; see --help").arg(command).arg(command == kCsv ? 3 : 2));
}

std::optional<int> runFromMain(int argc, char **argv)
{
    if (argc < 2 || !isCommand(QString::fromLocal8Bit(argv[1])))
        return std::nullopt;
    // No window: the commands run where there is no display at all. What Qt says of its
    // platform there (no runtime folder, say) is no concern of the command's one line.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    QGuiApplication app(argc, argv);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() == 1 && (arguments[0] == kHelp || arguments[0] == QStringLiteral("-h"))) {
        QTextStream(stdout) << usage();
        return 0;
    }
    QTextStream errors(stderr);
    const QString title = TForm1::programTitle();
    return run(arguments, RateJournal::defaultPath(title), officeName(title), errors);
}

} // namespace JournalCommands
