#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTextBrowser;
class QTextDocument;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// A heading of the help file: one line of its table of contents.
struct HelpHeading
{
    int level = 0; // 1 for <h1>, 2 for <h2>, ...
    QString title;
    QString anchor; // where the line leads; empty when the heading has no id or name
};

// One entry of the help file's index: a keyword and the anchor it leads to.
struct HelpKeyword
{
    QString keyword;
    QString anchor;
};

// The headings of a help document, in document order.
QList<HelpHeading> helpHeadings(const QTextDocument &document);

// The index of a help document: every internal link of the section whose heading is named
// "index", its text being the keyword, sorted alphabetically regardless of case. Empty when
// the document has no such section.
QList<HelpKeyword> helpKeywords(const QTextDocument &document);

// The entry an index shows for a typed keyword: the keyword itself, else the first one that
// starts with it, else the first one that contains it; case does not matter. -1 for none, or
// when nothing was typed.
int bestKeywordMatch(const QList<HelpKeyword> &keywords, const QString &wanted);

// The program's help window: the table of contents and the index on the left, the help
// file on the right, back and forward above. Closing only hides it, so that the next request
// finds it again where the operator left it.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);
    ~HelpWindow() override;

    // Each brings the window to the front with the file loaded (kept where it was when the
    // file is already shown).
    void showContents(const QString &file);
    void showIndex(const QString &file, const QString &keyword);
    void showTopic(const QString &file, const QString &anchor);

    // Closes every help window of the process.
    static void closeAll();

    QTextBrowser *browser() const { return m_browser; }
    QTabWidget *panes() const { return m_panes; }
    QTreeWidget *contentsTree() const { return m_contents; }
    QLineEdit *indexFilter() const { return m_indexFilter; }
    QListWidget *indexList() const { return m_index; }
    QToolButton *backButton() const { return m_back; }
    QToolButton *forwardButton() const { return m_forward; }

private:
    QWidget *buildToolBar();
    QWidget *buildIndexPane();
    void buildPanes();
    void buildBrowser();

    void open(const QString &file);
    void present();
    void fillContents();
    void fillIndex();
    void filterIndex(const QString &text);
    void goToAnchor(const QString &anchor);
    void markHeadingShown(const QUrl &source);
    void goToIndexEntry(const QListWidgetItem *item);
    void followLink(const QUrl &link);

    QTextBrowser *m_browser = nullptr;
    QTabWidget *m_panes = nullptr;
    QTreeWidget *m_contents = nullptr;
    QLineEdit *m_indexFilter = nullptr;
    QListWidget *m_index = nullptr;
    QToolButton *m_back = nullptr;
    QToolButton *m_forward = nullptr;
    QUrl m_file;
    QList<HelpKeyword> m_keywords; // in the order of the index list's rows
};
