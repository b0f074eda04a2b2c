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
} // namespace

void show(const QString &text, QWidget *parent)
{
    if (currentHandler()) {
        currentHandler()(text);
        return;
    }
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

Handler setHandler(Handler handler)
{
    Handler previous = std::move(currentHandler());
    currentHandler() = std::move(handler);
    return previous;
}

} // namespace ErrorBox
