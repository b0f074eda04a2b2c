#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program's one way of telling the operator that something went wrong: a critical
// message box captioned with the application title. Tests replace the box with a
// handler of their own so that nothing blocks.
namespace ErrorBox {

void show(const QString &text, QWidget *parent = nullptr);

// The same box, but nobody waits for its answer: for what the operator should know of while
// the program goes on, also with nobody at the screen.
void notify(const QString &text, QWidget *parent = nullptr);

using Handler = std::function<void(const QString &text)>;
// Replaces the message box; an empty handler restores it. Returns the previous one.
Handler setHandler(Handler handler);

} // namespace ErrorBox
