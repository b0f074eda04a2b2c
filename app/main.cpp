#include "app/Form1.h"
#include "app/ShutdownSignals.h"
#include "board/FormMon2.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The program ends when the operator window closes, whatever other windows show.
    QApplication::setQuitOnLastWindowClosed(false);
    // Listen for a stop from the start, so that one arriving during start-up is not fatal.
    ShutdownSignals shutdownSignals;

    auto *form = new TForm1;
    // A close can come before the event loop runs (a stop signal handled while start-up
    // pumps events); quitting then would be lost, so it is remembered.
    bool closed = false;
    QObject::connect(form, &TForm1::closed, &app, [&closed] {
        closed = true;
        QCoreApplication::quit();
    });
    std::unique_ptr<TFormMon2> formMon2 = form->createFormMon2();

    // A stop from outside and the end of the desktop session close the operator window the
    // way its close box does, so that everything is saved.
    QObject::connect(&shutdownSignals, &ShutdownSignals::shutdownRequested, form, &QWidget::close);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, form, &QWidget::close);

    form->show();
    if (shutdownSignals.wasRequested())
        form->close();
    const int result = closed ? 0 : QApplication::exec();
    delete form;
    formMon2.reset();
    return result;
}
