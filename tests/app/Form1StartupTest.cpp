#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "app/TitleTab.h"
#include "desktop/HistoryComboBox.h"
#include "app/Frame1corvane.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMap>
#include <QScreen>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace {

using testsupport::readBytes;
using testsupport::readValues;

QString programTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

QString settingsKey()
{
    return QStringLiteral("\\Software\\Marrowgate\\") + programTitle();
}

const QList<QPair<QString, QString>> &kStoredGroup = testsupport::storedGroup();

// What start-up leaves behind.
struct Loaded
{
    QPoint position{324, 106};
    QString FileName = QStringLiteral("Title.jpg");
    int TitleMode = 0;
    bool TV = false;
    Proportions proportions;

    friend bool operator==(const Loaded &, const Loaded &) = default;
};

void PrintTo(const Loaded &l, std::ostream *os)
{
    const Proportions &p = l.proportions;
    *os << "pos " << l.position.x() << "," << l.position.y() << " FileName '" << l.FileName.toStdString()
        << "' TitleMode " << l.TitleMode << " TV " << l.TV << " Pro " << p.ProTop << "," << p.ProBot << ","
        << p.ProTit << "," << p.ProTitL << "," << p.ProName << "," << p.ProTit2;
}

// The first `count` values of the complete stored group applied, the rest at their defaults.
Loaded appliedUpTo(int count)
{
    Loaded l;
    int *const integers[] = {&l.TitleMode, nullptr, &l.proportions.ProTop, &l.proportions.ProBot,
                             &l.proportions.ProTit, &l.proportions.ProTitL, &l.proportions.ProName,
                             &l.proportions.ProTit2};
    for (int i = 0; i < count; ++i) {
        const int number = kStoredGroup[i].second.toInt();
        switch (i) {
        case 0: l.position.setX(number); break;
        case 1: l.position.setY(number); break;
        case 2: l.FileName = kStoredGroup[i].second; break;
        case 4: l.TV = number != 0; break;
        default: *integers[i - 3] = number; break;
        }
    }
    return l;
}

class Form1Startup : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        path = SettingsStore::filePathFor(settingsKey());
    }

    // The exit writes the settings, so the window goes while the sandbox is still there.
    void TearDown() override { form.reset(); }

    void removeFiles()
    {
        for (const QString &p : {path, path + QStringLiteral(".bad")}) {
            if (QFileInfo(p).isDir())
                QDir(p).removeRecursively();
            else
                QFile::remove(p);
        }
    }

    void writeFile(const QByteArray &bytes)
    {
        testsupport::writeBytes(path, bytes);
    }

    static QByteArray fileOf(const QList<QPair<QString, QString>> &values)
    {
        QByteArray text = "[General]\n";
        for (const auto &[name, value] : values)
            text += name.toUtf8() + '=' + value.toUtf8() + '\n';
        return text;
    }

    Loaded loaded() const
    {
        const ProgramSettings &s = programSettings();
        return Loaded{form->pos(), s.fileName(), s.titleMode(), s.tv(), s.proportions()};
    }

    testsupport::SettingsSandbox sandbox;
    QString path;
    std::unique_ptr<TForm1> form;
};

TEST_F(Form1Startup, FirstRunUsesDesignValuesAndWritesEveryValueAtExit)
{
    form = std::make_unique<TForm1>();
    EXPECT_EQ(loaded(), Loaded{});
    EXPECT_TRUE(programSettings().settingsLoaded());
    EXPECT_EQ(programSettings().settingsKey(), settingsKey());
    EXPECT_EQ(QCoreApplication::applicationName(), programTitle());
    EXPECT_FALSE(QFileInfo::exists(path)) << "start-up alone writes nothing";

    const QRect bounds = form->frameGeometry();
    form.reset();

    ASSERT_TRUE(QFileInfo(path).isFile());
    const QMap<QString, QString> values = readValues(path);
    const QList<QPair<const char *, QString>> expected = {
        {"Left", QStringLiteral("324")},
        {"Top", QStringLiteral("106")},
        {"Width", QString::number(bounds.width())},
        {"Height", QString::number(bounds.height())},
        {"FileName", QStringLiteral("Title.jpg")},
        {"TitleMode", QStringLiteral("0")},
        {"TV", QStringLiteral("0")},
        {"ProTop", QStringLiteral("20")},
        {"ProBot", QStringLiteral("10")},
        {"ProTit", QStringLiteral("10")},
        {"ProTitL", QStringLiteral("30")},
        {"ProName", QStringLiteral("35")},
        {"ProTit2", QStringLiteral("10")},
    };
    for (const auto &[name, value] : expected) {
        ASSERT_TRUE(values.contains(QLatin1String(name))) << name;
        EXPECT_EQ(values.value(QLatin1String(name)), value) << name;
    }
    EXPECT_TRUE(sandbox.messages.isEmpty());
}

struct GuardCase
{
    const char *name;
    QList<QPair<QString, QString>> stored;
    Loaded expected;
};

void PrintTo(const GuardCase &c, std::ostream *os)
{
    *os << c.name;
}

QList<QPair<QString, QString>> storedWith(const QString &name, const QString &value)
{
    QList<QPair<QString, QString>> values = kStoredGroup;
    for (auto &entry : values) {
        if (entry.first == name)
            entry.second = value;
    }
    return values;
}

QList<QPair<QString, QString>> storedWithout(const QString &name)
{
    QList<QPair<QString, QString>> values = kStoredGroup;
    values.removeIf([&](const auto &entry) { return entry.first == name; });
    return values;
}

Loaded withoutFileName()
{
    Loaded l = appliedUpTo(int(kStoredGroup.size()));
    l.FileName.clear();
    return l;
}

class GuardedGroup : public Form1Startup, public ::testing::WithParamInterface<GuardCase>
{
};

TEST_P(GuardedGroup, FirstFailedReadEndsTheGroup)
{
    writeFile(fileOf(GetParam().stored));
    form = std::make_unique<TForm1>();
    EXPECT_EQ(loaded(), GetParam().expected);
    EXPECT_TRUE(programSettings().settingsLoaded());
    EXPECT_TRUE(sandbox.messages.isEmpty()) << "a failed read is silent";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuardedGroup,
    ::testing::Values(
        GuardCase{"AllPresent", kStoredGroup, appliedUpTo(11)},
        GuardCase{"LeftMissing", storedWithout(QStringLiteral("Left")), appliedUpTo(0)},
        GuardCase{"LeftNotANumber", storedWith(QStringLiteral("Left"), QStringLiteral("abc")), appliedUpTo(0)},
        GuardCase{"TopMissing", storedWithout(QStringLiteral("Top")), appliedUpTo(1)},
        GuardCase{"FileNameMissingReadsAsEmpty", storedWithout(QStringLiteral("FileName")), withoutFileName()},
        GuardCase{"FileNameIsAList", storedWith(QStringLiteral("FileName"), QStringLiteral("a, b")), appliedUpTo(2)},
        GuardCase{"TitleModeMissing", storedWithout(QStringLiteral("TitleMode")), appliedUpTo(3)},
        GuardCase{"TVNotANumber", storedWith(QStringLiteral("TV"), QStringLiteral("yes")), appliedUpTo(4)},
        GuardCase{"ProTopMissing", storedWithout(QStringLiteral("ProTop")), appliedUpTo(5)},
        GuardCase{"ProTitNotANumber", storedWith(QStringLiteral("ProTit"), QStringLiteral("abc")), appliedUpTo(7)},
        GuardCase{"ProNameFraction", storedWith(QStringLiteral("ProName"), QStringLiteral("3.5")), appliedUpTo(9)},
        GuardCase{"ProTit2Missing", storedWithout(QStringLiteral("ProTit2")), appliedUpTo(10)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Form1Startup, WidthAndHeightAreWrittenButNeverRead)
{
    form = std::make_unique<TForm1>();
    const QSize designSize = form->frameGeometry().size();
    form.reset();
    removeFiles();

    QList<QPair<QString, QString>> stored = kStoredGroup;
    stored.append({QStringLiteral("Width"), QStringLiteral("1500")});
    stored.append({QStringLiteral("Height"), QStringLiteral("900")});
    writeFile(fileOf(stored));
    form = std::make_unique<TForm1>();
    EXPECT_EQ(form->frameGeometry().size(), designSize);
    EXPECT_EQ(form->pos(), QPoint(100, 50));
    form.reset();

    const QMap<QString, QString> values = readValues(path);
    EXPECT_EQ(values.value(QStringLiteral("Width")), QString::number(designSize.width()));
    EXPECT_EQ(values.value(QStringLiteral("Height")), QString::number(designSize.height()));
}

TEST_F(Form1Startup, ValuesSurviveARestart)
{
    form = std::make_unique<TForm1>();
    form->move(200, 150);
    ProgramSettings &s = programSettings();
    // The title box shows the title source, as after choosing a picture: at exit its text
    // heads the history, which the next start takes the source from.
    const QString fileName = QStringLiteral("Курс, 2024 \"зима\".jpg");
    form->TitleTab->eTextList->setText(fileName);
    s.setFileName(fileName);
    s.setTitleMode(1);
    s.setTV(true);
    s.setProportions(Proportions{25, 12, 11, 33, 40, 9});
    const Loaded before = loaded();
    form.reset();

    programSettings().reset();
    form = std::make_unique<TForm1>();
    EXPECT_EQ(loaded(), before);
    EXPECT_TRUE(sandbox.messages.isEmpty());
}

TEST_F(Form1Startup, StoredPositionOnTheSecondMonitorMovesToTheFirstWhenShown)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        GTEST_SKIP() << "needs two monitors";
    const QRect first = screens[0]->geometry();
    const QRect second = screens[1]->geometry();
    writeFile(fileOf(storedWith(QStringLiteral("Left"), QString::number(second.x() + 100))));
    form = std::make_unique<TForm1>();
    EXPECT_EQ(form->pos(), QPoint(second.x() + 100, 50)) << "applied as stored";
    form->show();
    EXPECT_EQ(form->frameGeometry().topLeft(), first.topLeft() + QPoint(100, 50));
}

TEST_F(Form1Startup, FailedSaveIsReportedAndTheProgramGoesOn)
{
    form = std::make_unique<TForm1>();
    // A folder where the file should go: the store opens but the write cannot land.
    ASSERT_TRUE(QDir().mkpath(path));
    ::testing::internal::CaptureStderr();
    form.reset();
    const QString printed = QString::fromStdString(::testing::internal::GetCapturedStderr());
    // Nobody is asked at exit: the file and the reason go to the standard error.
    EXPECT_TRUE(sandbox.messages.isEmpty()) << sandbox.messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(printed.contains(path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(EISDIR))))
        << printed.toStdString();
    EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST_F(Form1Startup, UnparsableFileIsSetAsideAndAFreshOneWritten)
{
    const QByteArray bad = "[General]\nLeft\n=3\nTop=50\n";
    writeFile(bad);
    form = std::make_unique<TForm1>();
    EXPECT_EQ(sandbox.messages.size(), 1);
    EXPECT_EQ(loaded(), Loaded{});
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(readBytes(path + QStringLiteral(".bad")), bad);
    form.reset();

    EXPECT_EQ(readValues(path).value(QStringLiteral("Left")), QStringLiteral("324"));
    EXPECT_EQ(readBytes(path + QStringLiteral(".bad")), bad);
    EXPECT_EQ(sandbox.messages.size(), 1);
}

// A table stored as something other than text is not read; it must not be replaced by an
// empty one at exit either, only by a table the operator has edited.
TEST_F(Form1Startup, UnreadableStoredTableIsKeptUntilTheOperatorEdits)
{
    writeFile(fileOf(kStoredGroup) + "CorvaneFile=a, b\n");
    form = std::make_unique<TForm1>();
    EXPECT_EQ(form->FrameCorvane1->shownRowCount(), 0);
    form.reset();
    EXPECT_EQ(readValues(path).value(QStringLiteral("CorvaneFile")), QStringLiteral("a, b"));

    programSettings().reset();
    form = std::make_unique<TForm1>();
    form->EditorRows[1]->Edit1->setText(QStringLiteral("93,10"));
    form.reset();
    const QString stored = readValues(path).value(QStringLiteral("CorvaneFile"));
    EXPECT_TRUE(stored.contains(QStringLiteral("93,10"))) << stored.toStdString();
}

} // namespace
