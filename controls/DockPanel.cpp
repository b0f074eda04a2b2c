#include "DockPanel.h"

#include <QEvent>

TDockPanel::TDockPanel(QWidget *parent)
    : QWidget(parent)
{
}

void TDockPanel::setBackground(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, color);
    setPalette(pal);
    setAutoFillBackground(true);
}

void TDockPanel::dock(QWidget *child, DockSide side)
{
    Q_ASSERT(child->parentWidget() == this);
    const int index = indexOf(child);
    if (index >= 0)
        m_docked[index].side = side;
    else {
        m_docked.append({child, side});
        child->installEventFilter(this);
    }
    redock();
}

DockSide TDockPanel::dockSide(const QWidget *child) const
{
    const int index = indexOf(child);
    return index >= 0 ? m_docked[index].side : DockSide::None;
}

int TDockPanel::indexOf(const QWidget *child) const
{
    for (int i = 0; i < m_docked.size(); ++i) {
        if (m_docked[i].widget == child)
            return i;
    }
    return -1;
}

void TDockPanel::moveDockedToFront(QWidget *child)
{
    const int index = indexOf(child);
    if (index <= 0)
        return;
    m_docked.move(index, 0);
    redock();
}

void TDockPanel::moveDockedAfter(QWidget *child, QWidget *after)
{
    const int index = indexOf(child);
    const int afterIndex = indexOf(after);
    if (index < 0 || afterIndex < 0 || index == afterIndex)
        return;
    const Docked entry = m_docked.takeAt(index);
    m_docked.insert(indexOf(after) + 1, entry);
    redock();
}

void TDockPanel::redock()
{
    if (m_docking)
        return;
    m_docking = true;
    QRect area = rect();
    for (const Docked &entry : std::as_const(m_docked)) {
        QWidget *child = entry.widget;
        if (!child || child->isHidden())
            continue;
        QRect target;
        switch (entry.side) {
        case DockSide::Top:
            target = QRect(area.left(), area.top(), area.width(), child->height());
            area.setTop(area.top() + child->height());
            break;
        case DockSide::Bottom:
            target = QRect(area.left(), area.bottom() + 1 - child->height(), area.width(), child->height());
            area.setBottom(area.bottom() - child->height());
            break;
        case DockSide::Left:
            target = QRect(area.left(), area.top(), child->width(), area.height());
            area.setLeft(area.left() + child->width());
            break;
        case DockSide::Fill:
        case DockSide::None:
            continue;
        }
        target.setWidth(qMax(0, target.width()));
        target.setHeight(qMax(0, target.height()));
        child->setGeometry(target);
        if (auto *panel = qobject_cast<TDockPanel *>(child))
            panel->redock();
    }
    // Filling children take what the sides left, whatever their place in the order.
    for (const Docked &entry : std::as_const(m_docked)) {
        if (entry.side != DockSide::Fill || !entry.widget || entry.widget->isHidden())
            continue;
        entry.widget->setGeometry(QRect(area.topLeft(), QSize(qMax(0, area.width()), qMax(0, area.height()))));
        if (auto *panel = qobject_cast<TDockPanel *>(entry.widget))
            panel->redock();
    }
    m_docking = false;
}

void TDockPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    redock();
}

bool TDockPanel::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::Resize:
        if (!m_docking && indexOf(static_cast<QWidget *>(watched)) >= 0)
            redock();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TDockPanel::redockParentOf(QWidget *widget)
{
    if (auto *panel = qobject_cast<TDockPanel *>(widget->parentWidget()))
        panel->redock();
}

void TDockPanel::setHeight(QWidget *widget, int height)
{
    widget->resize(widget->width(), qMax(0, height));
    redockParentOf(widget);
}

void TDockPanel::setWidth(QWidget *widget, int width)
{
    widget->resize(qMax(0, width), widget->height());
    redockParentOf(widget);
}
