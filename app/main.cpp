#include "app/Form1.h"
#include "app/ShutdownSignals.h"
#include "board/FormMon2.h"
#include "board/RateTable.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    // The program ends when the operator window closes, whatever other windows show.
    QApplication::setQuitOnLastWindowClosed(false);

    auto *form = new TForm1;
    QObject::connect(form, &TForm1::closed, &app, &QCoreApplication::quit);
    auto *formMon2 = new TFormMon2(form->FrameCorvane1,
                                   [form](int slot, const RateRow &row) { form->writeEditorRow(slot, row); });
    form->attachFormMon2(formMon2);

    // A stop from outside and the end of the desktop session close the operator window the
    // way its close box does, so that everything is saved.
    ShutdownSignals shutdownSignals;
    QObject::connect(&shutdownSignals, &ShutdownSignals::shutdownRequested, form, &QWidget::close);
    QObject::connect(&app, &QGuiApplication::commitDataRequest, form, &QWidget::close);

    form->show();
    const int result = QApplication::exec();
    delete form;
    delete formMon2;
    return result;
}
