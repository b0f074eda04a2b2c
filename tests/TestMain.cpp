#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <gmock/gmock.h>

int main(int argc, char **argv)
{
    // Tests never touch the real display or the operator's settings.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toUtf8());
    // Nor the office's rate journal.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configHome.path());

    ::testing::InitGoogleMock(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
