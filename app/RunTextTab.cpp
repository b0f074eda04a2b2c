#include "RunTextTab.h"

#include "ButtonGlyphs.h"
#include "content/Playlist.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScopedValueRollback>
#include <QLineEdit>
#include <QListView>
#include <QSpinBox>
#include <QStringListModel>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int kButtonSize = 28;
constexpr int kListTop = 63;

} // namespace

TRunTextTab::TRunTextTab(QWidget *parent)
    : QWidget(parent)
    , m_entries(new QStringListModel(this))
{
    using ButtonGlyphs::Glyph;
    bOpen = addButton("bOpen", 0, int(Glyph::Open), QStringLiteral("Открыть список строк"));
    bSave = addButton("bSave", 29, int(Glyph::Save), QStringLiteral("Сохранить список строк"));

    Label23 = new QLabel(QStringLiteral("Скорость:"), this);
    Label23->setObjectName(QStringLiteral("Label23"));
    Label23->setGeometry(59, 4, 61, 26);
    Label23->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    seSpeed = new QSpinBox(this);
    seSpeed->setObjectName(QStringLiteral("seSpeed"));
    seSpeed->setGeometry(122, 2, 32, 30);
    seSpeed->setRange(1, 9);
    seSpeed->setValue(1);
    seSpeed->setToolTip(QStringLiteral("Скорость бегущей строки"));

    bPlay = addButton("bPlay", 156, int(Glyph::Play), QStringLiteral("Пуск"));
    bStop = addButton("bStop", 184, int(Glyph::Stop), QStringLiteral("Стоп"));
    bDel = addButton("bDel", 212, int(Glyph::Delete), QStringLiteral("Удалить строку"));
    bReplace = addButton("bReplace", 240, int(Glyph::Replace), QStringLiteral("Заменить строку в списке"));
    bAdd = addButton("bAdd", 268, int(Glyph::Add), QStringLiteral("Добавить строку в список"));
    for (QToolButton *button : {bPlay, bStop, bDel, bReplace})
        button->setEnabled(false);

    Edit1 = new QLineEdit(QStringLiteral("Новая строка"), this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(0, 34, 297, 28);
    Edit1->installEventFilter(this);

    ListStr = new QListView(this);
    ListStr->setObjectName(QStringLiteral("ListStr"));
    ListStr->setModel(m_entries);
    ListStr->setSelectionMode(QAbstractItemView::SingleSelection);
    ListStr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListStr->setUniformItemSizes(true); // a long list lays out without measuring every row
    ListStr->setGeometry(0, kListTop, 297, 303);
    ListStr->installEventFilter(this);
    connect(ListStr, &QListView::clicked, this, &TRunTextTab::ListStrClick);
    connect(ListStr, &QListView::doubleClicked, this, &TRunTextTab::ListStrDblClick);
    connect(ListStr->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        // Keyboard moves select too; what the program selects itself is not the operator's pick.
        if (ListStr->hasFocus() && !m_showing)
            emit ListStrClick();
    });
    resize(297, 366);
}

QToolButton *TRunTextTab::addButton(const char *name, int left, int glyph, const QString &hint)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setAutoRaise(true);
    button->setIcon(ButtonGlyphs::icon(ButtonGlyphs::Glyph(glyph)));
    button->setIconSize(QSize(22, 22));
    button->setGeometry(left, 3, kButtonSize, kButtonSize);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

void TRunTextTab::showPlaylist(const Playlist &playlist)
{
    const QScopedValueRollback showing(m_showing, true);
    if (m_entries->stringList() != playlist.entries())
        m_entries->setStringList(playlist.entries());
    const int selected = playlist.selectedIndex();
    if (selected != selectedRow()) {
        if (selected < 0) {
            ListStr->selectionModel()->clear();
        } else {
            const QModelIndex index = m_entries->index(selected);
            ListStr->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
            ListStr->scrollTo(index);
        }
        ListStr->viewport()->update();
    }
    bPlay->setEnabled(playlist.playEnabled());
    bStop->setEnabled(playlist.stopEnabled());
    bDel->setEnabled(playlist.deleteEnabled());
    bReplace->setEnabled(playlist.replaceEnabled());
}

int TRunTextTab::selectedRow() const
{
    const QModelIndexList rows = ListStr->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

int TRunTextTab::speedValue() const
{
    bool ok = false;
    const int value = seSpeed->text().toInt(&ok);
    return ok ? value : seSpeed->minimum();
}

bool TRunTextTab::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == Edit1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            emit Edit1Return();
            return true;
        }
        if (watched == ListStr && key == Qt::Key_Delete) {
            emit ListStrDelete();
            return true;
        }
    }
    if (watched == Edit1 && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, Edit1, &QLineEdit::selectAll); // after the click has placed the cursor
    return QWidget::eventFilter(watched, event);
}

void TRunTextTab::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // The text field stretches with the tab; the list fills the tab below it.
    Edit1->resize(width(), Edit1->height());
    ListStr->setGeometry(0, kListTop, width(), qMax(0, height() - kListTop));
}
