#pragma once

#include <QPointer>
#include <QVector>
#include <QWidget>

enum class DockSide { None, Top, Bottom, Left, Fill };

// A panel that docks its children to its edges the way the board is built: children docked
// top, bottom or left take the full width (or height) of what is left of the panel and keep
// their own height (or width); children on the same side stack in docking order; a filling
// child takes the rest; hidden children take no space.
//
// Unlike Qt's layouts, docking is synchronous: every size or visibility change of a docked
// child, and every resize of the panel, re-docks at once, so code can read the resulting
// sizes back in the next statement. Nested panels re-dock with their parent.
class TDockPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TDockPanel(QWidget *parent = nullptr);

    // Docks child (which must be a child of this panel) after the ones docked so far.
    void dock(QWidget *child, DockSide side);
    DockSide dockSide(const QWidget *child) const;

    // Moves child to the front of the docking order, or right after `after`.
    void moveDockedToFront(QWidget *child);
    void moveDockedAfter(QWidget *child, QWidget *after);

    // Re-docks all docked children now.
    void redock();

    // Sets a widget's height or width and re-docks its panel (when it has one) at once.
    static void setHeight(QWidget *widget, int height);
    static void setWidth(QWidget *widget, int width);

    // A panel filled with one solid colour.
    void setBackground(const QColor &color);

protected:
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Docked
    {
        QPointer<QWidget> widget; // children may be deleted before the panel
        DockSide side;
    };
    int indexOf(const QWidget *child) const;
    static void redockParentOf(QWidget *widget);

    QVector<Docked> m_docked;
    bool m_docking = false;
};
