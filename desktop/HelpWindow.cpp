#include "HelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

const QString kIndexAnchor = QStringLiteral("index");
const QString kDefaultTitle = QStringLiteral("Справка");

QList<HelpWindow *> &liveWindows()
{
    static QList<HelpWindow *> windows;
    return windows;
}

int headingLevel(const QTextBlock &block)
{
    return block.blockFormat().headingLevel();
}

// Both <h2 id="x"> and <a name="x"> end up as anchor names on the text they mark.
QStringList anchorNamesOf(const QTextBlock &block)
{
    QStringList names;
    for (auto it = block.begin(); !it.atEnd(); ++it)
        names += it.fragment().charFormat().anchorNames();
    return names;
}

QTextBlock indexHeading(const QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (headingLevel(block) > 0 && anchorNamesOf(block).contains(kIndexAnchor))
            return block;
    }
    return {};
}

// A link whose words carry different looks (a bold word in it, say) comes in several
// pieces with the same target; together they are one keyword.
void appendLinks(const QTextBlock &block, QList<HelpKeyword> &keywords)
{
    QString previousTarget;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QString target = it.fragment().charFormat().anchorHref();
        const bool internal = target.startsWith(QLatin1Char('#'));
        if (internal && target == previousTarget)
            keywords.last().keyword += it.fragment().text();
        else if (internal)
            keywords.append({it.fragment().text(), target.mid(1)});
        previousTarget = target;
    }
}

bool alphabetically(const HelpKeyword &a, const HelpKeyword &b)
{
    return a.keyword.compare(b.keyword, Qt::CaseInsensitive) < 0;
}

int firstKeywordWhere(const QList<HelpKeyword> &keywords, const std::function<bool(const QString &)> &fits)
{
    const auto fitting = [&fits](const HelpKeyword &entry) { return fits(entry.keyword); };
    const auto found = std::find_if(keywords.begin(), keywords.end(), fitting);
    return found == keywords.end() ? -1 : int(found - keywords.begin());
}

QToolButton *toolButton(QStyle::StandardPixmap icon, const QString &text, const QKeySequence &shortcut,
                        QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setShortcut(shortcut);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(text, shortcut.toString(QKeySequence::NativeText)));
    button->setAutoRaise(true);
    return button;
}

} // namespace

QList<HelpHeading> helpHeadings(const QTextDocument &document)
{
    QList<HelpHeading> headings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (headingLevel(block) == 0)
            continue;
        const QStringList anchors = anchorNamesOf(block);
        headings.append({headingLevel(block), block.text().simplified(), anchors.value(0)});
    }
    return headings;
}

QList<HelpKeyword> helpKeywords(const QTextDocument &document)
{
    QList<HelpKeyword> keywords;
    const QTextBlock heading = indexHeading(document);
    if (!heading.isValid())
        return keywords;
    for (QTextBlock block = heading.next(); block.isValid(); block = block.next()) {
        const int level = headingLevel(block);
        if (level > 0 && level <= headingLevel(heading))
            break;
        appendLinks(block, keywords);
    }
    for (HelpKeyword &entry : keywords)
        entry.keyword = entry.keyword.simplified();
    std::stable_sort(keywords.begin(), keywords.end(), alphabetically);
    return keywords;
}

int bestKeywordMatch(const QList<HelpKeyword> &keywords, const QString &wanted)
{
    const QString key = wanted.simplified();
    if (key.isEmpty())
        return -1;
    const auto isKey = [&key](const QString &k) { return k.compare(key, Qt::CaseInsensitive) == 0; };
    const auto startsWithKey = [&key](const QString &k) { return k.startsWith(key, Qt::CaseInsensitive); };
    const auto holdsKey = [&key](const QString &k) { return k.contains(key, Qt::CaseInsensitive); };
    int found = firstKeywordWhere(keywords, isKey);
    if (found < 0)
        found = firstKeywordWhere(keywords, startsWithKey);
    if (found < 0)
        found = firstKeywordWhere(keywords, holdsKey);
    return found;
}

HelpWindow::HelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(kDefaultTitle);
    // The operator window may be in the tray when help is closed: that must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(980, 680);
    buildBrowser();
    buildPanes();

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_panes);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({340, 640});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildToolBar());
    layout->addWidget(splitter, 1);
    liveWindows().append(this);
}

HelpWindow::~HelpWindow()
{
    liveWindows().removeOne(this);
}

void HelpWindow::closeAll()
{
    for (HelpWindow *window : liveWindows())
        window->close();
}

QWidget *HelpWindow::buildToolBar()
{
    auto *bar = new QWidget(this);
    m_back = toolButton(QStyle::SP_ArrowBack, QStringLiteral("Назад"), QKeySequence::Back, bar);
    m_forward = toolButton(QStyle::SP_ArrowForward, QStringLiteral("Вперёд"), QKeySequence::Forward, bar);
    const QKeySequence topKey(Qt::ALT | Qt::Key_Home);
    QToolButton *top = toolButton(QStyle::SP_ArrowUp, QStringLiteral("В начало"), topKey, bar);
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(top, &QToolButton::clicked, this, [this] { goToAnchor(QString()); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);

    auto *layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_back);
    layout->addWidget(m_forward);
    layout->addWidget(top);
    layout->addStretch(1);
    return bar;
}

void HelpWindow::buildBrowser()
{
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    // Links are routed by followLink: the help file's own ones here, web addresses to the
    // system's browser.
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::markHeadingShown);
}

void HelpWindow::buildPanes()
{
    m_panes = new QTabWidget(this);
    m_contents = new QTreeWidget(m_panes);
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    m_contents->setHeaderHidden(true);
    // The bilingual titles are long: they scroll sideways rather than lose their ends.
    m_contents->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_contents->header()->setStretchLastSection(false);
    const auto openHeading = [this](QTreeWidgetItem *item) {
        // A heading without an id has nowhere to lead to.
        if (const QString anchor = item->data(0, Qt::UserRole).toString(); !anchor.isEmpty())
            goToAnchor(anchor);
    };
    connect(m_contents, &QTreeWidget::itemClicked, this, openHeading);
    connect(m_contents, &QTreeWidget::itemActivated, this, openHeading);
    m_panes->addTab(m_contents, QStringLiteral("Содержание"));
    m_panes->addTab(buildIndexPane(), QStringLiteral("Указатель"));
}

QWidget *HelpWindow::buildIndexPane()
{
    auto *pane = new QWidget(m_panes);
    m_indexFilter = new QLineEdit(pane);
    m_indexFilter->setObjectName(QStringLiteral("HelpIndexFilter"));
    m_indexFilter->setPlaceholderText(QStringLiteral("Ключевое слово"));
    m_indexFilter->setClearButtonEnabled(true);
    m_index = new QListWidget(pane);
    m_index->setObjectName(QStringLiteral("HelpIndex"));
    connect(m_indexFilter, &QLineEdit::textChanged, this, &HelpWindow::filterIndex);
    connect(m_indexFilter, &QLineEdit::returnPressed, this, [this] { goToIndexEntry(m_index->currentItem()); });
    connect(m_index, &QListWidget::itemClicked, this, &HelpWindow::goToIndexEntry);
    connect(m_index, &QListWidget::itemActivated, this, &HelpWindow::goToIndexEntry);

    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(2, 4, 2, 2);
    layout->addWidget(m_indexFilter);
    layout->addWidget(m_index, 1);
    return pane;
}

void HelpWindow::showContents(const QString &file)
{
    open(file);
    m_panes->setCurrentWidget(m_contents);
    present();
}

void HelpWindow::showIndex(const QString &file, const QString &keyword)
{
    open(file);
    m_panes->setCurrentWidget(m_index->parentWidget());
    m_indexFilter->setText(keyword);
    present();
    m_indexFilter->setFocus();
}

void HelpWindow::showTopic(const QString &file, const QString &anchor)
{
    open(file);
    present();
    goToAnchor(anchor);
}

void HelpWindow::open(const QString &file)
{
    const QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    // Kept as it is unless a link has led the browser away to another file.
    if (url == m_file && m_browser->source().adjusted(QUrl::RemoveFragment) == url)
        return;
    m_file = url;
    m_browser->setSource(url);
    m_browser->clearHistory();
    const QString title = m_browser->documentTitle();
    setWindowTitle(title.isEmpty() ? kDefaultTitle : title);
    fillContents();
    fillIndex();
}

void HelpWindow::present()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void HelpWindow::fillContents()
{
    m_contents->clear();
    // The headings a following one may nest under, outermost first.
    QList<std::pair<int, QTreeWidgetItem *>> enclosing;
    for (const HelpHeading &heading : helpHeadings(*m_browser->document())) {
        while (!enclosing.isEmpty() && enclosing.last().first >= heading.level)
            enclosing.removeLast();
        auto *item = enclosing.isEmpty() ? new QTreeWidgetItem(m_contents)
                                         : new QTreeWidgetItem(enclosing.last().second);
        item->setText(0, heading.title);
        item->setToolTip(0, heading.title);
        item->setData(0, Qt::UserRole, heading.anchor);
        enclosing.append({heading.level, item});
    }
    m_contents->expandAll();
}

void HelpWindow::fillIndex()
{
    m_index->clear();
    m_keywords = helpKeywords(*m_browser->document());
    for (const HelpKeyword &entry : m_keywords) {
        auto *item = new QListWidgetItem(entry.keyword, m_index);
        item->setData(Qt::UserRole, entry.anchor);
    }
    filterIndex(m_indexFilter->text());
}

// The list keeps the entries that contain the typed text and points at the best of them.
void HelpWindow::filterIndex(const QString &text)
{
    for (int row = 0; row < m_index->count(); ++row) {
        QListWidgetItem *item = m_index->item(row);
        item->setHidden(!item->text().contains(text.simplified(), Qt::CaseInsensitive));
    }
    const int best = bestKeywordMatch(m_keywords, text);
    m_index->setCurrentRow(best);
    if (best >= 0)
        m_index->scrollToItem(m_index->item(best), QAbstractItemView::PositionAtTop);
}

// The contents follow the reader: the heading just jumped to is the marked line.
void HelpWindow::markHeadingShown(const QUrl &source)
{
    const QString anchor = source.fragment();
    if (anchor.isEmpty())
        return;
    for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
        if ((*it)->data(0, Qt::UserRole).toString() == anchor) {
            m_contents->setCurrentItem(*it);
            return;
        }
    }
}

void HelpWindow::goToIndexEntry(const QListWidgetItem *item)
{
    if (item)
        goToAnchor(item->data(Qt::UserRole).toString());
}

// An empty anchor means the top of the file.
void HelpWindow::goToAnchor(const QString &anchor)
{
    QUrl target = m_file;
    if (!anchor.isEmpty())
        target.setFragment(anchor);
    // Asking for the place already shown brings it back into view without a history step.
    if (target != m_browser->source())
        m_browser->setSource(target);
    else if (anchor.isEmpty())
        m_browser->verticalScrollBar()->setValue(0);
    else
        m_browser->scrollToAnchor(anchor);
}

void HelpWindow::followLink(const QUrl &link)
{
    const QUrl target = m_browser->source().resolved(link);
    if (target.isLocalFile() || target.scheme() == QLatin1String("qrc"))
        m_browser->setSource(target);
    else
        QDesktopServices::openUrl(target);
}
