#include "OperatorInput.h"

#include "TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace operatorinput {

// The same choice the window system's key delivery makes (QWidgetWindow): an open popup
// takes the keys before the focused widget of the window behind it.
QWidget *keyReceiver()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup->focusWidget() ? popup->focusWidget() : popup;
    return QApplication::focusWidget();
}

void pressKey(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget *receiver = keyReceiver();
    ASSERT_NE(receiver, nullptr) << "no widget has the keyboard";
    QTest::keyClick(receiver, key, modifiers);
}

void clickButton(QAbstractButton *button)
{
    QPoint aim = button->rect().center();
    const bool checkBox = qobject_cast<QCheckBox *>(button) != nullptr;
    if (checkBox || qobject_cast<QRadioButton *>(button)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QStyle::SubElement mark = checkBox ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator;
        aim = button->style()->subElementRect(mark, &option, button).center();
    }
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, aim);
}

void doubleClick(QWidget *widget, QPoint place)
{
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, place);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, place);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, place);
}

bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

bool openListByMouse(QComboBox &box)
{
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = box.isEditable();
    option.subControls = QStyle::SC_All;
    const QRect arrow = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, &box);
    QWidget *window = box.window();
    QTest::mouseMove(window->windowHandle(), box.mapTo(window, arrow.center()));
    QTest::mouseClick(&box, Qt::LeftButton, Qt::NoModifier, arrow.center());
    QWidget *list = box.view()->window();
    return testsupport::waitUntil([list] { return list->isVisible(); }) && QTest::qWaitForWindowExposed(list);
}

void clickListRow(QComboBox &box, int row)
{
    QAbstractItemView *view = box.view();
    ASSERT_TRUE(view->isVisible()) << "the list is not open";
    const QRect place = view->visualRect(view->model()->index(row, box.modelColumn(), box.rootModelIndex()));
    ASSERT_TRUE(view->viewport()->rect().contains(place.center())) << "row " << row << " is out of sight";
    // The hand travels from the arrow to the row first. The list ignores a release that
    // comes before the mouse has moved away from where the list was opened: it is the end
    // of the click that opened it.
    QWidget *list = view->window();
    QTest::mouseMove(list->windowHandle(), view->viewport()->mapTo(list, place.center()));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
}

bool waitForListClosed(QComboBox &box)
{
    QWidget *list = box.view()->window();
    if (!testsupport::waitUntil([list] { return !list->isVisible(); }))
        return false;
    // Work the box leaves to the event loop once its list has closed.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return true;
}

} // namespace operatorinput
