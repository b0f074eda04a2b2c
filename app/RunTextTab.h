#pragma once

#include <QWidget>

class Playlist;
class QLabel;
class QLineEdit;
class QListView;
class QSpinBox;
class QStringListModel;
class QToolButton;

// The widgets of the running-text tab: the list file buttons, the speed, the play and edit
// buttons, the text field and the list. It only shows a playlist; the operator window's
// handlers act on the playlist and the tab follows it.
class TRunTextTab : public QWidget
{
    Q_OBJECT
public:
    explicit TRunTextTab(QWidget *parent = nullptr);

    // Shows the playlist's entries, selection and enabled states.
    void showPlaylist(const Playlist &playlist);
    // The list's selected row, -1 for none.
    int selectedRow() const;
    // The speed as the field reads it: a text that is not a number counts as the minimum.
    int speedValue() const;

    QToolButton *bOpen;
    QToolButton *bSave;
    QLabel *Label23;
    QSpinBox *seSpeed;
    QToolButton *bPlay;
    QToolButton *bStop;
    QToolButton *bDel;
    QToolButton *bReplace;
    QToolButton *bAdd;
    QLineEdit *Edit1;
    QListView *ListStr;

signals:
    // Enter in the text field, Delete in the list, a row picked, a double click.
    void Edit1Return();
    void ListStrDelete();
    void ListStrClick();
    void ListStrDblClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *addButton(const char *name, int left, int glyph, const QString &hint);

    QStringListModel *m_entries;
    bool m_showing = false;
};
