#include "TestSupport.h"

#include "app/Form1.h"
#include "board/FormMon2.h"
#include "platform/ProgramSettings.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QRegularExpression>
#include <QWidget>
#include <gtest/gtest.h>

namespace testsupport {

QString screenSet()
{
    // The platform is given as offscreen:configfile=<folder>/screens-<set>.json.
    static const QRegularExpression pattern(QStringLiteral("screens-([a-z]+)\\.json"));
    const QRegularExpressionMatch match = pattern.match(qEnvironmentVariable("QT_QPA_PLATFORM"));
    return match.hasMatch() ? match.captured(1) : QStringLiteral("one");
}

QImage renderWidget(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    widget->render(&image);
    return image;
}

ProgramWindows::ProgramWindows(Dialogs *dialogs)
    : m_dialogs(dialogs)
{
}

ProgramWindows::~ProgramWindows()
{
    stop();
}

void ProgramWindows::start()
{
    form = std::make_unique<TForm1>();
    if (m_dialogs)
        form->setDialogs(*m_dialogs);
    tv = form->createFormMon2();
}

void ProgramWindows::stop()
{
    form.reset();
    tv.reset();
}

void ProgramWindows::restart()
{
    form->close();
    stop();
    programSettings().reset();
    start();
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

QMap<QString, QString> readValues(const QString &path)
{
    QMap<QString, QString> values;
    for (const QByteArray &line : readBytes(path).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0 && !line.startsWith('['))
            values.insert(QString::fromUtf8(line.left(equals)).trimmed(),
                          QString::fromUtf8(line.mid(equals + 1)).trimmed());
    }
    return values;
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

const QList<QPair<QString, QString>> &storedGroup()
{
    static const QList<QPair<QString, QString>> group = {
        {QStringLiteral("Left"), QStringLiteral("100")},         {QStringLiteral("Top"), QStringLiteral("50")},
        {QStringLiteral("FileName"), QStringLiteral("pic.png")}, {QStringLiteral("TitleMode"), QStringLiteral("1")},
        {QStringLiteral("TV"), QStringLiteral("1")},             {QStringLiteral("ProTop"), QStringLiteral("25")},
        {QStringLiteral("ProBot"), QStringLiteral("12")},        {QStringLiteral("ProTit"), QStringLiteral("11")},
        {QStringLiteral("ProTitL"), QStringLiteral("33")},       {QStringLiteral("ProName"), QStringLiteral("40")},
        {QStringLiteral("ProTit2"), QStringLiteral("9")},
    };
    return group;
}

QString dataPath(const QString &name)
{
    return QStringLiteral(CORVANE_TEST_DATA "/") + name;
}

QString desktopEntryErrors(const QString &path)
{
    QProcess validator;
    validator.setProcessChannelMode(QProcess::MergedChannels);
    validator.start(QStringLiteral("desktop-file-validate"), {path});
    if (!validator.waitForFinished(30000))
        return QStringLiteral("desktop-file-validate did not run: ") + validator.errorString();
    const QString output = QString::fromUtf8(validator.readAll());
    if (validator.exitStatus() == QProcess::NormalExit && validator.exitCode() == 0 && !output.contains(QLatin1String("error")))
        return {};
    return output.isEmpty() ? QStringLiteral("exit code %1").arg(validator.exitCode()) : output;
}

} // namespace testsupport
