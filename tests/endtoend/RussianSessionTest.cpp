// Under a Russian session the operator reads Russian: Qt's own dialogs through the
// distribution's translations, and the program's messages as written.
//
// The system locale is read once per process, so the checks run in a child of this test
// program started with a Russian environment.

#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "desktop/SystemTranslations.h"
#include "content/AtomicFile.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QSpinBox>
#include <cerrno>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(RussianSession, DialogsAndStatusMessagesAreRussian)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LANG", "LC_ALL", "LC_MESSAGES"})
        environment.insert(QLatin1String(name), QStringLiteral("ru_RU.UTF-8"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("ru"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_also_run_disabled_tests"),
                 QStringLiteral("--gtest_filter=RussianSessionInside.*")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 2 tests."))) << output.toStdString();
}

QString buttonText(const QDialogButtonBox *box, QDialogButtonBox::StandardButton which)
{
    const QPushButton *button = box ? box->button(which) : nullptr;
    return button ? button->text() : QString();
}

// Runs only in the child that the test above starts.
TEST(RussianSessionInside, DISABLED_FileDialogSpeaksRussian)
{
    ASSERT_EQ(QLocale::system().language(), QLocale::Russian) << "the child was not started in Russian";
    ASSERT_TRUE(installSystemTranslations(*QCoreApplication::instance()))
        << "Qt's translations are missing (package qt6-translations-l10n)";

    QFileDialog dialog(nullptr, QString(), QString(), QStringLiteral("*.txt"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const auto *buttons = dialog.findChild<QDialogButtonBox *>();
    EXPECT_EQ(buttonText(buttons, QDialogButtonBox::Open), QStringLiteral("&Открыть"));
    EXPECT_EQ(buttonText(buttons, QDialogButtonBox::Cancel), QStringLiteral("Отмена"));
    const auto *lookIn = dialog.findChild<QLabel *>(QStringLiteral("lookInLabel"));
    ASSERT_NE(lookIn, nullptr);
    EXPECT_NE(lookIn->text(), QStringLiteral("Look in:"));
}

TEST(RussianSessionInside, DISABLED_FailedSaveIsToldInRussian)
{
    testsupport::SettingsSandbox sandbox;
    ASSERT_TRUE(sandbox.isValid());
    auto form = std::make_unique<TForm1>();
    form->show();
    AtomicFile::setFaultHook([](AtomicFile::Step step) { return step == AtomicFile::Step::Write ? ENOSPC : 0; });
    form->seProc[0]->setValue(31);
    const bool told = testsupport::waitUntil([&] { return !form->StatusBar1->currentMessage().isEmpty(); });
    AtomicFile::setFaultHook({});
    ASSERT_TRUE(told);
    EXPECT_TRUE(form->StatusBar1->currentMessage().startsWith(QStringLiteral("Настройки не сохранены")))
        << form->StatusBar1->currentMessage().toStdString();
}

} // namespace
