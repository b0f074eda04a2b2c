#include "app/Form1.h"
#include "app/JournalCommands.h"
#include "app/ShutdownSignals.h"
#include "app/SingleInstance.h"
#include "board/FormMon2.h"
#include "desktop/ApplicationIcon.h"
#include "desktop/FormInfo.h"
#include "desktop/SystemTranslations.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    // The journal's commands and --help need no display and take no one-copy lock.
    if (const std::optional<int> exitCode = JournalCommands::runFromMain(argc, argv))
        return *exitCode;
    // On X11 the windows are drawn through the socket instead of shared memory. With
    // shared memory every frame of the running text waits for the server to finish
    // reading the last one before it may draw again, and the text's band cannot be moved
    // on the server's side; through the socket the band is moved there and only the
    // columns it uncovers are sent, which costs the program and the server about a third
    // less. Whoever sets the variable decides otherwise.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    installSystemTranslations(app);
    QApplication::setWindowIcon(applicationIcon());
    // Lets the desktop match the windows with the installed menu entry.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane"));
    // The program ends when the operator window closes, whatever other windows show.
    QApplication::setQuitOnLastWindowClosed(false);
    // Listen for a stop from the start, so that one arriving during start-up is not fatal.
    ShutdownSignals shutdownSignals;

    // One copy per settings file: a second start brings the running one forward instead.
    SingleInstance instance(TForm1::programTitle());
    if (!instance.claim()) {
        if (instance.activateRunning())
            return 0;
        std::fprintf(stderr, "%s\n",
                     qUtf8Printable(QApplication::translate("main", "%1 уже запущена, но не отвечает. Закройте её или перезагрузите компьютер.")
                                        .arg(TForm1::programTitle())));
        return 1;
    }

    auto *form = new TForm1;
    // A close can come before the event loop runs (a stop signal handled while start-up
    // pumps events); quitting then would be lost, so it is remembered.
    bool closed = false;
    QObject::connect(form, &TForm1::closed, &app, [&closed] {
        closed = true;
        QCoreApplication::quit();
    });
    std::unique_ptr<TFormMon2> formMon2 = form->createFormMon2();
    // The about window waits hidden for the Info command; the operator window owns it.
    form->setFormInfo(new TFormInfo(form));

    // A stop from outside and the end of the desktop session close the operator window the
    // way its close box does, so that everything is saved.
    QObject::connect(&shutdownSignals, &ShutdownSignals::shutdownRequested, form, &QWidget::close);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, form, &QWidget::close);
    QObject::connect(&instance, &SingleInstance::activationRequested, form, &TForm1::bringToFront);

    form->show();
    if (shutdownSignals.wasRequested())
        form->close();
    const int result = closed ? 0 : QApplication::exec();
    delete form;
    formMon2.reset();
    return result;
}
