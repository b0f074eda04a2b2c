#include "ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

namespace ErrorBox {

namespace {
Handler &currentHandler()
{
    static Handler handler;
    return handler;
}

// A handler set by a test takes the text instead of any box.
bool handedToTest(const QString &text)
{
    if (!currentHandler())
        return false;
    currentHandler()(text);
    return true;
}

} // namespace

void show(const QString &text, QWidget *parent)
{
    if (handedToTest(text))
        return;
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

void notify(const QString &text, QWidget *parent)
{
    if (handedToTest(text))
        return;
    auto *box = new QMessageBox(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), text,
                                QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    // A box still open when the program ends goes with it.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, box, [box] { delete box; });
    box->show();
}

Handler setHandler(Handler handler)
{
    Handler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace ErrorBox
