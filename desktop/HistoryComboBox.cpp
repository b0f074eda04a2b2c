#include "HistoryComboBox.h"

#include "platform/SettingsStore.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaEnum>
#include <QScopedValueRollback>

THistoryComboBox::THistoryComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    // Completion and keeping entered texts are this box's own rules; Qt's would compete.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->installEventFilter(this);
    view()->parentWidget()->installEventFilter(this);

    // Delete, paste and plain typing reach the text through the line edit's own handling.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!m_quiet)
            emit textChangedByOperator(text);
    });
    connect(this, &QComboBox::activated, this, &THistoryComboBox::entrySelected);
}

void THistoryComboBox::setRootKey(TRootKey root)
{
    if (m_rootKey != root)
        m_rootKey = root;
}

QStringList THistoryComboBox::entries() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list.append(itemText(i));
    return list;
}

HistoryList THistoryComboBox::history() const
{
    return HistoryList(entries(), m_maxHistoryLength);
}

void THistoryComboBox::setEntries(const QStringList &entries)
{
    const QScopedValueRollback quiet(m_quiet, true);
    clear();
    addItems(entries);
    // Filling the list is not a pick: the edit text stays the owner's to set.
    setCurrentIndex(-1);
}

// The user's settings are the only store this system has; the other roots are named so
// that the owner learns why nothing was kept.
std::optional<QString> THistoryComboBox::storeKeyPath(QString &path) const
{
    if (m_rootKey != hkCurrentUser) {
        const char *name = QMetaEnum::fromType<TRootKey>().valueToKey(m_rootKey);
        return tr("История титулов не сохраняется в %1: в этой системе настройки хранятся только для "
                  "текущего пользователя.")
            .arg(QLatin1String(name));
    }
    path = QLatin1Char('\\') + m_key;
    return std::nullopt;
}

std::optional<QString> THistoryComboBox::LoadHistory()
{
    if (m_key.isEmpty())
        return std::nullopt;
    setEntries({});
    setTextQuietly(QString());
    QString path;
    if (const auto error = storeKeyPath(path))
        return error;
    const auto store = SettingsStore::open(path, SettingsStore::Mode::OpenExisting);
    if (!store)
        return std::nullopt;
    HistoryList list = history();
    const auto error = list.load(*store);
    setEntries(list.entries());
    return error;
}

void THistoryComboBox::AddToHistory(const QString &text)
{
    HistoryList list = history();
    list.add(text);
    setEntries(list.entries());
    const QScopedValueRollback quiet(m_quiet, true);
    if (!list.entries().isEmpty())
        setCurrentIndex(0);
    setTextQuietly(list.entries().value(0));
}

std::optional<QString> THistoryComboBox::SaveHistory()
{
    if (m_key.isEmpty())
        return std::nullopt;
    QString path;
    if (const auto error = storeKeyPath(path))
        return error;
    AddToHistory(currentText());
    // Clearing and writing reach the disk in one commit, so a failed save leaves the
    // earlier history whole instead of an empty key.
    const auto store = SettingsStore::open(path, SettingsStore::Mode::Create);
    if (!store)
        return tr("История титулов не сохранилась в %1. Проверьте место на диске и права на папку.").arg(path);
    store->clear();
    history().save(*store);
    if (!store->commit())
        return store->errorString();
    return std::nullopt;
}

void THistoryComboBox::setTextQuietly(const QString &text)
{
    const QScopedValueRollback quiet(m_quiet, true);
    lineEdit()->setText(text);
}

bool THistoryComboBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lineEdit() && event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    if (watched == view()->parentWidget() && event->type() == QEvent::Hide)
        closeUpAfterThePick();
    return QComboBox::eventFilter(watched, event);
}

// Qt hides the list first and only then reports the row clicked or chosen with Enter, by
// the list's current index. An owner that changes the list on close-up (the history moves
// the text to the top) would take that row away and the pick would be lost; the owner
// hears of the close once the pick has been delivered.
void THistoryComboBox::closeUpAfterThePick()
{
    QMetaObject::invokeMethod(this, &THistoryComboBox::closeUp, Qt::QueuedConnection);
}

// QComboBox hands keys sent to it straight to the line edit, past its event filters.
void THistoryComboBox::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        QComboBox::keyPressEvent(event);
}

bool THistoryComboBox::handleKey(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Backspace) {
        eraseBackwards();
        return true;
    }
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Escape)
        return false;
    // Shortcuts such as Ctrl+V carry a control character, not text.
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isPrint()
        || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    return completeWith(text.at(0));
}

void THistoryComboBox::eraseBackwards()
{
    {
        const QScopedValueRollback quiet(m_quiet, true);
        deselectEntryKeepingText();
        // backspace() takes the selected text when there is some, the character before the
        // caret otherwise.
        lineEdit()->backspace();
    }
    emit textChangedByOperator(lineEdit()->text());
}

bool THistoryComboBox::completeWith(QChar typed)
{
    QLineEdit *edit = lineEdit();
    const HistoryList::Completion completion =
        history().complete(edit->text(), edit->selectionStart(), edit->selectionLength(), typed);
    if (!completion.found)
        return false;
    const bool changed = currentIndex() != completion.index;
    {
        const QScopedValueRollback quiet(m_quiet, true);
        setCurrentIndex(completion.index);
        edit->setText(completion.text);
        edit->setSelection(completion.selectionStart, completion.text.size() - completion.selectionStart);
    }
    if (changed)
        emit entrySelected(completion.index);
    return true;
}

// QComboBox empties the edit text when no entry is current; the operator's text stays.
void THistoryComboBox::deselectEntryKeepingText()
{
    QLineEdit *edit = lineEdit();
    const QString text = edit->text();
    const int cursor = edit->cursorPosition();
    const int start = edit->selectionStart();
    const int length = edit->selectionLength();
    setCurrentIndex(-1);
    edit->setText(text);
    if (start >= 0 && length > 0)
        edit->setSelection(start, length);
    else
        edit->setCursorPosition(cursor);
}
