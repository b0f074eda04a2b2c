#pragma once

#include <QIcon>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

class QWidget;

// One icon with a tooltip in the desktop's notification area. It reports clicks on the
// icon, shows a menu on a right click, can cycle the icon through a list of pictures, and
// can take the main window into the notification area when that window is minimised.
//
// Icon and tooltip reach the notification area only while the icon is active; changes
// made while it is inactive go there with the next activation.
//
// A double click restores the main window (RestoreFromTray) unless something listens to
// OnDblClick: connecting to that signal replaces the built-in response, as assigning the
// handler of the event would.
class TTrayIcon : public QObject
{
    Q_OBJECT
public:
    static constexpr int MaxToolTipLength = 62;
    static constexpr int DefaultAnimateInterval = 100;

    Q_PROPERTY(bool Active READ active WRITE setActive)
    Q_PROPERTY(bool Animate READ animate WRITE setAnimate)
    Q_PROPERTY(int AnimateInterval READ animateInterval WRITE setAnimateInterval)
    Q_PROPERTY(bool ShowDesigning READ showDesigning WRITE setShowDesigning)
    Q_PROPERTY(QIcon Icon READ icon WRITE setIcon)
    Q_PROPERTY(QList<QIcon> Images READ images WRITE setImages)
    Q_PROPERTY(bool MinimizeApp READ minimizeApp WRITE setMinimizeApp)
    Q_PROPERTY(QString ToolTip READ toolTip WRITE setToolTip)
    Q_PROPERTY(QMenu *PopupMenu READ popupMenu WRITE setPopupMenu)

    explicit TTrayIcon(QObject *parent = nullptr);
    ~TTrayIcon() override;

    // Whether the desktop has a notification area at all; without one the icon is never
    // seen, and minimising had better stay the ordinary kind.
    static bool available();

    bool active() const { return m_active; }
    void setActive(bool active);
    bool animate() const { return m_animate; }
    void setAnimate(bool animate);
    int animateInterval() const { return m_animateInterval; }
    void setAnimateInterval(int interval);
    // There is no form designer to show the icon in, so this stays false.
    bool showDesigning() const { return false; }
    void setShowDesigning(bool) {}
    QIcon icon() const { return m_icon; }
    void setIcon(const QIcon &icon);
    // The animation frames. Emptying the list takes the animation's pictures away, which
    // ends the animation.
    QList<QIcon> images() const { return m_images; }
    void setImages(const QList<QIcon> &images);
    bool minimizeApp() const { return m_minimizeApp; }
    void setMinimizeApp(bool minimize) { m_minimizeApp = minimize; }
    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &toolTip);
    QMenu *popupMenu() const { return m_popupMenu; }
    void setPopupMenu(QMenu *menu) { m_popupMenu = menu; }

    // The window that MinimizeToTray hides and RestoreFromTray brings back, and whose
    // minimising goes to the notification area when MinimizeApp is set.
    QWidget *mainWindow() const { return m_mainWindow; }
    void setMainWindow(QWidget *window);

    void MinimizeToTray();
    void RestoreFromTray();

    // What the desktop sees of this icon, and the timer that steps the animation: state
    // that can be checked where there is no notification area to look at.
    QSystemTrayIcon *trayIcon() { return &m_tray; }
    QTimer *animationTimer() { return &m_animationTimer; }

signals:
    void OnClick();
    void OnDblClick();
    void OnRightClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint screenPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What a change hands to the notification area: the icon is always part of it.
    enum class IconData : quint8 { Icon, IconAndTip };

    bool ShowIcon();
    bool HideIcon();
    bool UpdateIcon(IconData parts);
    void FillIconData(IconData parts);
    void ApplicationMinimized();
    void AnimationTick();
    void resetToolTip();
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    void doubleClicked();
    void rightClicked();

    QSystemTrayIcon m_tray;
    QTimer m_animationTimer;
    QIcon m_icon;
    QIcon m_savedIcon;
    QList<QIcon> m_images;
    QString m_toolTip;
    QPointer<QMenu> m_popupMenu;
    QPointer<QWidget> m_mainWindow;
    int m_animateInterval = DefaultAnimateInterval;
    int m_frame = 0;
    bool m_active = false;
    bool m_animate = false;
    bool m_minimizeApp = false;
};
