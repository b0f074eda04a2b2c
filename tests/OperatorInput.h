#pragma once

#include <QPoint>
#include <Qt>

class QAbstractButton;
class QComboBox;
class QWidget;

// The operator's hands: mouse clicks and key presses that reach a widget the way the
// window system delivers them, for tests that stand for what the operator does.
namespace operatorinput {

// The widget a key press reaches now: the focused widget of an open popup (a combo box's
// list), otherwise the application's focused widget.
QWidget *keyReceiver();

// One key pressed and released on the widget that has the keyboard; fails the test when no
// widget has it.
void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// A click where the operator aims at the button: on the mark of a check box or an option
// button, in the middle of any other.
void clickButton(QAbstractButton *button);

// A double click at that place, as the window system sends it: press, release, the
// second press as a double click, release.
void doubleClick(QWidget *widget, QPoint place);

// Shows the window of the widget and gives it the keyboard; false when it never becomes
// the active window.
bool showActive(QWidget &window);

// A click on the arrow of the combo box; true once its list shows.
bool openListByMouse(QComboBox &box);

// A click on a row of the combo box's open list, where the operator sees that row.
void clickListRow(QComboBox &box, int row);

// The list of the combo box is closed and the close-up handling the event loop owes is done.
bool waitForListClosed(QComboBox &box);

} // namespace operatorinput
