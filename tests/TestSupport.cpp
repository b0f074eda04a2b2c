#include "TestSupport.h"

#include "app/Form1.h"
#include "board/FormMon2.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"

#include <algorithm>
#include <QCoreApplication>
#include <cstdlib>
#include <cstring>
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

std::vector<DrawnCaption> drawnCaptions(const QWidget *board)
{
    std::vector<DrawnCaption> captions;
    for (const TLabel3D *label : board->findChildren<TLabel3D *>()) {
        if (label->isVisibleTo(board))
            captions.push_back({label->objectName(), label->caption(), label->font().toString(), label->fontSize(),
                                label->geometry()});
    }
    return captions;
}

std::string captionDifferences(const std::vector<DrawnCaption> &actual, const std::vector<DrawnCaption> &expected)
{
    const auto line = [](const DrawnCaption &c) {
        return QStringLiteral("%1 \"%2\" %3 pt in %4x%5 (%6)")
            .arg(c.label, QString(c.caption).replace(QLatin1String("\r\n"), QLatin1String(" / ")))
            .arg(c.points)
            .arg(c.box.width())
            .arg(c.box.height())
            .arg(c.font)
            .toStdString();
    };
    std::string text;
    for (size_t i = 0; i < std::min(actual.size(), expected.size()); ++i) {
        if (!(actual[i] == expected[i]))
            text += line(actual[i]) + ", expected " + line(expected[i]) + "\n";
    }
    if (actual.size() != expected.size())
        text += std::to_string(actual.size()) + " captions shown, expected " + std::to_string(expected.size()) + "\n";
    return text;
}

bool drawnAlike(const QImage &drawn, const QImage &expected)
{
    constexpr int kSmoothing = 64;
    if (drawn.size() != expected.size())
        return false;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            if (std::abs(qRed(a) - qRed(b)) > kSmoothing || std::abs(qGreen(a) - qGreen(b)) > kSmoothing
                || std::abs(qBlue(a) - qBlue(b)) > kSmoothing)
                return false;
        }
    }
    return true;
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

bool hasHttpHeader(const QByteArray &wire, const QByteArray &name, const QByteArray &value)
{
    const qsizetype headEnd = wire.indexOf("\r\n\r\n");
    const QList<QByteArray> lines = wire.left(headEnd < 0 ? wire.size() : headEnd).split('\n');
    return std::any_of(lines.begin() + (lines.isEmpty() ? 0 : 1), lines.end(), [&](const QByteArray &line) {
        const qsizetype colon = line.indexOf(':');
        return colon > 0 && line.left(colon).compare(name, Qt::CaseInsensitive) == 0
               && line.mid(colon + 1).trimmed() == value;
    });
}

void setProgramSanitizerOptions(QProcessEnvironment &env)
{
    QString options = env.value(QStringLiteral("ASAN_OPTIONS"));
    if (options.isEmpty())
        return;
    options.replace(QStringLiteral("strict_string_checks=1"), QStringLiteral("strict_string_checks=0"));
    env.insert(QStringLiteral("ASAN_OPTIONS"), options + QStringLiteral(":fast_unwind_on_malloc=0"));
}

bool near(QColor pixel, QColor expected, int tolerance)
{
    return std::abs(pixel.red() - expected.red()) < tolerance && std::abs(pixel.green() - expected.green()) < tolerance
           && std::abs(pixel.blue() - expected.blue()) < tolerance;
}

bool near(QRgb pixel, QColor expected, int tolerance)
{
    return near(QColor::fromRgb(pixel), expected, tolerance);
}

QString text(const char16_t *utf16)
{
    return QStringView(utf16).toString();
}

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString uniqueTitle(const QString &prefix)
{
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    QString title = QStringLiteral("%1-%2-%3").arg(prefix, QLatin1String(info->test_suite_name()), QLatin1String(info->name()));
    title.replace(QLatin1Char('/'), QLatin1Char('-'));
    return title;
}

} // namespace testsupport
