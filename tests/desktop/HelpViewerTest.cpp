#include "tests/TestSupport.h"

#include "desktop/HelpViewer.h"
#include "desktop/HelpWindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace {

// A small help page: nested headings, one heading without an id, a section far down the
// page, and an index whose links are keywords while the links around it are not.
QByteArray fixtureHtml()
{
    QByteArray padding;
    for (int i = 0; i < 120; ++i)
        padding += "<p>Строка, чтобы страница была длиннее окна.</p>\n";
    return R"(<html><head><meta charset="utf-8"><title>Fixture help</title></head><body>
<h1 id="top">Board help</h1>
<p>See <a href="#far">the far topic</a>.</p>
<h2 id="first"><a name="context-3"></a>First — Первый</h2>
<p>one</p>
<h2 id="second">Second — Второй</h2>
<h3 id="deep">Deep — Глубже</h3>
<h2>Unmarked</h2>
)" + padding + R"(
<h2 id="far">Far — Далеко</h2>
<p>end</p>
<h2 id="index">Index</h2>
<ul>
<li><a href="#first">курс</a></li>
<li><a href="#deep"><b>курсы</b> валют</a></li>
<li><a href="#far">Экскурсия</a></li>
<li><a href="#second">Алфавит</a></li>
<li><a href="https://example.org/">web page</a></li>
</ul>
<h2 id="after">After</h2>
<p><a href="#second">not a keyword</a></p>
</body></html>
)";
}

QTextDocument *documentOf(const QByteArray &html, QObject *owner)
{
    auto *document = new QTextDocument(owner);
    document->setHtml(QString::fromUtf8(html));
    return document;
}

QStringList keywordsOf(const QList<HelpKeyword> &keywords)
{
    QStringList texts;
    for (const HelpKeyword &entry : keywords)
        texts.append(entry.keyword + QLatin1String(" -> ") + entry.anchor);
    return texts;
}

// The tree as indented lines, two spaces a level.
void outline(const QTreeWidgetItem *item, int depth, QStringList &lines)
{
    lines.append(QString(depth * 2, QLatin1Char(' ')) + item->text(0));
    for (int i = 0; i < item->childCount(); ++i)
        outline(item->child(i), depth + 1, lines);
}

QStringList outlineOf(const QTreeWidget *tree)
{
    QStringList lines;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        outline(tree->topLevelItem(i), 0, lines);
    return lines;
}

QStringList shownIndexEntries(const QListWidget *list)
{
    QStringList shown;
    for (int row = 0; row < list->count(); ++row) {
        if (!list->item(row)->isHidden())
            shown.append(list->item(row)->text());
    }
    return shown;
}

int helpWindowCount()
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += qobject_cast<HelpWindow *>(widget) ? 1 : 0;
    return count;
}

// A program in a folder of its own: bin/corvane, with room for its help beside it and in the
// share folder an installation would use.
class HelpViewerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    QString path(const QString &relative) const { return QDir::cleanPath(root.filePath(relative)); }
    QString program() const { return path(QStringLiteral("bin/corvane")); }
    QString besideFile() const { return path(QStringLiteral("bin/corvane.html")); }
    QString installedFile() const { return path(QStringLiteral("share/corvane/corvane.html")); }
    void writeHelp(const QString &file) const { testsupport::writeBytes(file, fixtureHtml()); }

    HelpWindow &openedWindow(TSPHelpViewer &viewer) const
    {
        HelpWindow *window = viewer.helpWindow();
        EXPECT_NE(window, nullptr);
        if (!window)
            throw std::runtime_error("no help window");
        return *window;
    }

    QTemporaryDir root;
};

struct ResolutionCase
{
    const char *name;
    const char *asked; // "" for the program's own, else a path under the test's folder
    bool askedExists;
    bool besideExists;
    bool installedExists;
    const char *expected; // "asked", "beside", "installed" or "" for none
};

class HelpFileResolution : public HelpViewerTest, public ::testing::WithParamInterface<ResolutionCase>
{
};

TEST_P(HelpFileResolution, FindsTheFileTheRequestShows)
{
    const ResolutionCase &c = GetParam();
    const QString asked = QString::fromLatin1(c.asked).isEmpty() ? QString() : path(QLatin1String(c.asked));
    if (c.askedExists)
        writeHelp(asked);
    if (c.besideExists)
        writeHelp(besideFile());
    if (c.installedExists)
        writeHelp(installedFile());
    const QMap<QString, QString> files{{QStringLiteral("asked"), asked},
                                       {QStringLiteral("beside"), besideFile()},
                                       {QStringLiteral("installed"), installedFile()}};

    TSPHelpViewer viewer(program());
    EXPECT_EQ(viewer.GetHelpFileFor(asked), files.value(QLatin1String(c.expected)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpFileResolution,
    ::testing::Values(ResolutionCase{"EmptyNameMeansTheFileBesideTheProgram", "", false, true, false, "beside"},
                      ResolutionCase{"BesideTheProgramWinsOverTheInstalledOne", "", false, true, true, "beside"},
                      ResolutionCase{"InstalledProgramFindsTheShareFolder", "", false, false, true, "installed"},
                      ResolutionCase{"NoHelpAnywhereGivesNothing", "", false, false, false, ""},
                      ResolutionCase{"NamedFileIsTaken", "other/own.html", true, true, false, "asked"},
                      ResolutionCase{"MissingNamedFileGivesNothing", "other/own.html", false, true, true, ""},
                      ResolutionCase{"FolderIsNoHelpFile", ".", false, false, false, ""}),
    [](const auto &info) { return std::string(info.param.name); });

struct ProgramPathCase
{
    const char *name;
    const char *program;
    const char *help;
};

class HelpFileOfProgram : public ::testing::TestWithParam<ProgramPathCase>
{
};

TEST_P(HelpFileOfProgram, LooksInTheShareFolderBesideTheProgramsFolder)
{
    EXPECT_EQ(helpFileOfProgram(QLatin1String(GetParam().program)), QLatin1String(GetParam().help));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpFileOfProgram,
    ::testing::Values(ProgramPathCase{"Installed", "/usr/bin/corvane", "/usr/share/corvane/corvane.html"},
                      ProgramPathCase{"RenamedCopyHasItsOwnHelp", "/opt/board/bin/hall2",
                                      "/opt/board/share/corvane/hall2.html"},
                      ProgramPathCase{"ExtensionIsReplaced", "/opt/board/bin/corvane.exe",
                                      "/opt/board/share/corvane/corvane.html"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HelpViewerTest, AnswersTheHelpSystemsQuestions)
{
    TSPHelpViewer viewer(program());
    EXPECT_EQ(viewer.GetViewerName(), QStringLiteral("HtmlHelp"));
    for (const QString &keyword : {QString(), QStringLiteral("курс"), QStringLiteral("no such thing")}) {
        EXPECT_EQ(viewer.UnderstandsKeyword(keyword), 1);
        EXPECT_EQ(viewer.GetHelpStrings(keyword), QStringList{QStringLiteral("HtmlHelp: ") + keyword});
    }
    EXPECT_TRUE(viewer.CanShowTableOfContents());
    EXPECT_TRUE(viewer.UnderstandsTopic(QStringLiteral("tv")));
    EXPECT_TRUE(viewer.UnderstandsContext(7, QString()));
    EXPECT_FALSE(viewer.CallWinHelp(nullptr, besideFile(), 3, 0));
    viewer.NotifyID(2);
    EXPECT_EQ(viewer.viewerId(), 2);
}

TEST_F(HelpViewerTest, HeadingsGiveLevelTitleAndId)
{
    QObject owner;
    const QList<HelpHeading> headings = helpHeadings(*documentOf(fixtureHtml(), &owner));
    QStringList lines;
    for (const HelpHeading &heading : headings)
        lines.append(QStringLiteral("%1 %2 #%3").arg(heading.level).arg(heading.title, heading.anchor));
    EXPECT_EQ(lines, QStringList({"1 Board help #top", "2 First — Первый #first", "2 Second — Второй #second",
                                  "3 Deep — Глубже #deep", "2 Unmarked #", "2 Far — Далеко #far", "2 Index #index",
                                  "2 After #after"}));
}

TEST_F(HelpViewerTest, ContentsShowTheHeadingsNestedByLevel)
{
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    viewer.ShowTableOfContents();

    HelpWindow &window = openedWindow(viewer);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Fixture help"));
    EXPECT_EQ(window.panes()->currentWidget(), window.contentsTree());
    EXPECT_EQ(window.browser()->source(), QUrl::fromLocalFile(besideFile()));
    EXPECT_EQ(outlineOf(window.contentsTree()),
              QStringList({"Board help", "  First — Первый", "  Second — Второй", "    Deep — Глубже", "  Unmarked",
                           "  Far — Далеко", "  Index", "  After"}));
}

TEST_F(HelpViewerTest, ClickOnAContentsLineShowsItsHeading)
{
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    viewer.ShowTableOfContents();
    QTreeWidget *tree = openedWindow(viewer).contentsTree();
    const QTreeWidgetItem *deep = tree->topLevelItem(0)->child(1)->child(0);
    ASSERT_EQ(deep->text(0), QStringLiteral("Deep — Глубже"));

    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(deep).center());
    EXPECT_EQ(openedWindow(viewer).browser()->source().fragment(), QStringLiteral("deep"));
}

TEST_F(HelpViewerTest, IndexTakesTheLinksOfItsOwnSectionInAlphabeticalOrder)
{
    QObject owner;
    EXPECT_EQ(keywordsOf(helpKeywords(*documentOf(fixtureHtml(), &owner))),
              QStringList({"Алфавит -> second", "курс -> first", "курсы валют -> deep", "Экскурсия -> far"}));
    EXPECT_TRUE(helpKeywords(*documentOf("<h2 id=\"x\">No index</h2><a href=\"#x\">x</a>", &owner)).isEmpty());
}

struct MatchCase
{
    const char *name;
    const char *wanted;
    int expected;
};

class HelpKeywordMatch : public ::testing::TestWithParam<MatchCase>
{
};

TEST_P(HelpKeywordMatch, PrefersTheWordThenItsStartThenAnyPart)
{
    const QList<HelpKeyword> keywords{{QStringLiteral("Алфавит"), {}},
                                      {QStringLiteral("курс"), {}},
                                      {QStringLiteral("курсы валют"), {}},
                                      {QStringLiteral("Экскурсия"), {}}};
    EXPECT_EQ(bestKeywordMatch(keywords, QString::fromUtf8(GetParam().wanted)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, HelpKeywordMatch,
                         ::testing::Values(MatchCase{"WholeWordBeatsLongerOnes", "курс", 1},
                                           MatchCase{"StartInAnyCase", "КУРСЫ", 2},
                                           MatchCase{"PartOfAWord", "скурс", 3},
                                           MatchCase{"SpacesAroundDoNotCount", "  алф  ", 0},
                                           MatchCase{"Unknown", "zzz", -1},
                                           MatchCase{"NothingTyped", "", -1}),
                         [](const auto &info) { return std::string(info.param.name); });

struct IndexCase
{
    const char *name;
    const char *keyword;
    const char *shown; // comma-separated
    const char *current;
};

class HelpIndexAtKeyword : public HelpViewerTest, public ::testing::WithParamInterface<IndexCase>
{
};

TEST_P(HelpIndexAtKeyword, ShowsTheIndexFilteredAtTheKeyword)
{
    const IndexCase &c = GetParam();
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    viewer.ShowHelp(QString::fromUtf8(c.keyword));

    HelpWindow &window = openedWindow(viewer);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.panes()->currentWidget()->isAncestorOf(window.indexList()));
    EXPECT_EQ(window.indexFilter()->text(), QString::fromUtf8(c.keyword));
    EXPECT_EQ(shownIndexEntries(window.indexList()), QString::fromUtf8(c.shown).split(QLatin1Char(','), Qt::SkipEmptyParts));
    const QListWidgetItem *current = window.indexList()->currentItem();
    EXPECT_EQ(current ? current->text() : QString(), QString::fromUtf8(c.current));
}

INSTANTIATE_TEST_SUITE_P(Cases, HelpIndexAtKeyword,
                         ::testing::Values(IndexCase{"Word", "курс", "курс,курсы валют,Экскурсия", "курс"},
                                           IndexCase{"StartOfAnEntry", "КУРСЫ", "курсы валют", "курсы валют"},
                                           IndexCase{"Nothing", "", "Алфавит,курс,курсы валют,Экскурсия", ""},
                                           IndexCase{"Unknown", "zzz", "", ""}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(HelpViewerTest, EnterInTheIndexShowsTheTopicOfTheEntry)
{
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    viewer.ShowHelp(QStringLiteral("скурс"));
    HelpWindow &window = openedWindow(viewer);

    QTest::keyClick(window.indexFilter(), Qt::Key_Return);
    EXPECT_EQ(window.browser()->source(), QUrl::fromLocalFile(besideFile()).resolved(QUrl(QStringLiteral("#far"))));
}

struct TopicCase
{
    const char *name;
    const char *topic;
    const char *anchor;
    bool scrolledDown;
};

class HelpTopic : public HelpViewerTest, public ::testing::WithParamInterface<TopicCase>
{
};

TEST_P(HelpTopic, ShowsTheFileAtTheTopicsAnchor)
{
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    viewer.DisplayTopic(QLatin1String(GetParam().topic));

    HelpWindow &window = openedWindow(viewer);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.browser()->source().path(), QUrl::fromLocalFile(besideFile()).path());
    EXPECT_EQ(window.browser()->source().fragment(), QLatin1String(GetParam().anchor));
    // Down the page means more than a screenful: the heading of a first line is a margin away.
    const QTextBrowser *browser = window.browser();
    EXPECT_EQ(browser->verticalScrollBar()->value() > browser->viewport()->height(), GetParam().scrolledDown);
}

INSTANTIATE_TEST_SUITE_P(Cases, HelpTopic,
                         ::testing::Values(TopicCase{"AnchorName", "far", "far", true},
                                           TopicCase{"AnchorWithHash", "#far", "far", true},
                                           TopicCase{"PageAndAnchor", "corvane.html#far", "far", true},
                                           TopicCase{"TopOfThePage", "top", "top", false}),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(HelpViewerTest, ContextNumberLeadsToItsAnchorInTheNamedFile)
{
    writeHelp(besideFile());
    const QString other = path(QStringLiteral("other/own.html"));
    writeHelp(other);
    TSPHelpViewer viewer(program());

    viewer.DisplayHelpByContext(3, QString());
    EXPECT_EQ(openedWindow(viewer).browser()->source(),
              QUrl::fromLocalFile(besideFile()).resolved(QUrl(QStringLiteral("#context-3"))));
    viewer.DisplayHelpByContext(3, other);
    EXPECT_EQ(openedWindow(viewer).browser()->source(),
              QUrl::fromLocalFile(other).resolved(QUrl(QStringLiteral("#context-3"))));
}

TEST_F(HelpViewerTest, BackAndForwardRetraceTheTopicsShown)
{
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    viewer.DisplayTopic(QStringLiteral("first"));
    viewer.DisplayTopic(QStringLiteral("far"));
    HelpWindow &window = openedWindow(viewer);
    EXPECT_FALSE(window.forwardButton()->isEnabled());

    QTest::mouseClick(window.backButton(), Qt::LeftButton);
    EXPECT_EQ(window.browser()->source().fragment(), QStringLiteral("first"));
    ASSERT_TRUE(window.forwardButton()->isEnabled());
    QTest::mouseClick(window.forwardButton(), Qt::LeftButton);
    EXPECT_EQ(window.browser()->source().fragment(), QStringLiteral("far"));
}

// A click in the middle of the link with that text, scrolled into sight first as the
// reader would.
void clickLink(QTextBrowser &browser, const QString &text)
{
    const QTextCursor found = browser.document()->find(text);
    ASSERT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor inside(browser.document());
    inside.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
    browser.setTextCursor(inside);
    browser.ensureCursorVisible();
    const QPoint point = browser.cursorRect(inside).center();
    ASSERT_FALSE(browser.anchorAt(point).isEmpty()) << "no link under " << text.toStdString();
    QTest::mouseClick(browser.viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

// Stands in for the system's web browser.
class WebBrowser : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened.append(url); }
};

TEST_F(HelpViewerTest, WebLinksGoToTheSystemsBrowserAndPageLinksStayInTheWindow)
{
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    viewer.DisplayTopic(QStringLiteral("first"));
    QTextBrowser *browser = openedWindow(viewer).browser();
    WebBrowser web;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &web, "open");

    clickLink(*browser, QStringLiteral("web page"));
    EXPECT_EQ(web.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/"))});
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("first"));

    clickLink(*browser, QStringLiteral("not a keyword"));
    EXPECT_EQ(browser->source(), QUrl::fromLocalFile(besideFile()).resolved(QUrl(QStringLiteral("#second"))));
    EXPECT_EQ(web.opened.size(), 1);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

TEST_F(HelpViewerTest, SoftShutDownClosesEveryHelpWindowAndShutDownLetsItGo)
{
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    TSPHelpViewer another(program());
    viewer.ShowTableOfContents();
    another.DisplayTopic(QStringLiteral("far"));
    ASSERT_TRUE(openedWindow(viewer).isVisible());
    ASSERT_TRUE(openedWindow(another).isVisible());

    viewer.SoftShutDown();
    EXPECT_FALSE(openedWindow(viewer).isVisible());
    EXPECT_FALSE(openedWindow(another).isVisible());

    viewer.ShutDown();
    EXPECT_EQ(viewer.helpWindow(), nullptr);
    EXPECT_EQ(helpWindowCount(), 1);
}

TEST_F(HelpViewerTest, ClosedWindowComesBackWhereItWas)
{
    writeHelp(besideFile());
    TSPHelpViewer viewer(program());
    viewer.DisplayTopic(QStringLiteral("deep"));
    HelpWindow *first = viewer.helpWindow();
    viewer.SoftShutDown();

    viewer.ShowTableOfContents();
    EXPECT_EQ(viewer.helpWindow(), first);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->browser()->source().fragment(), QStringLiteral("deep"));
}

class RequestWithoutHelpFile
    : public HelpViewerTest,
      public ::testing::WithParamInterface<std::pair<const char *, std::function<void(TSPHelpViewer &)>>>
{
};

TEST_P(RequestWithoutHelpFile, DoesNothing)
{
    TSPHelpViewer viewer(program());
    GetParam().second(viewer);
    EXPECT_EQ(viewer.helpWindow(), nullptr);
    EXPECT_EQ(helpWindowCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Requests, RequestWithoutHelpFile,
    ::testing::Values(std::make_pair("Contents", [](TSPHelpViewer &v) { v.ShowTableOfContents(); }),
                      std::make_pair("Keyword", [](TSPHelpViewer &v) { v.ShowHelp(QStringLiteral("курс")); }),
                      std::make_pair("Topic", [](TSPHelpViewer &v) { v.DisplayTopic(QStringLiteral("tv")); }),
                      std::make_pair("Context", [](TSPHelpViewer &v) { v.DisplayHelpByContext(1, QString()); }),
                      std::make_pair("CloseAll", [](TSPHelpViewer &v) { v.ShutDown(); })),
    [](const auto &info) { return std::string(info.param.first); });

// The help file the program ships.
class ShippedHelpFile : public ::testing::Test
{
protected:
    static QString filePath()
    {
        return QDir::cleanPath(QStringLiteral(CORVANE_TEST_DATA "/../../help/corvane.html"));
    }

    void SetUp() override
    {
        html = testsupport::readBytes(filePath());
        ASSERT_FALSE(html.isEmpty()) << filePath().toStdString();
        document.setHtml(QString::fromUtf8(html));
    }

    QSet<QString> anchorNames() const
    {
        QSet<QString> names;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                for (const QString &name : it.fragment().charFormat().anchorNames())
                    names.insert(name);
            }
        }
        return names;
    }

    QStringList internalLinks() const
    {
        QStringList links;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QString href = it.fragment().charFormat().anchorHref();
                if (href.startsWith(QLatin1Char('#')))
                    links.append(href.mid(1));
            }
        }
        return links;
    }

    QByteArray html;
    QTextDocument document;
};

TEST_F(ShippedHelpFile, ContentsHaveTheSectionsAnOperatorNeeds)
{
    QStringList titles;
    for (const HelpHeading &heading : helpHeadings(document)) {
        titles.append(heading.title);
        EXPECT_FALSE(heading.anchor.isEmpty()) << heading.title.toStdString();
    }
    for (const char *section :
         {"Starting — Запуск", "The TV board — Табло на телевизоре", "Operator window — Окно оператора",
          "Rates tab — Вкладка «Курс»", "Fields tab — Вкладка «Поля»", "Settings tab — Вкладка «Настройки»",
          "Running text tab — Вкладка «Бег.Стр»", "Fonts and colours — Шрифты и цвета", "Date and time — Дата и время",
          "Tray — Значок в области уведомлений", "Where settings are kept — Где хранятся настройки",
          "What to do when the TV shows nothing — Если на телевизоре ничего нет", "Index — Указатель"})
        EXPECT_TRUE(titles.contains(QString::fromUtf8(section))) << section;
}

TEST_F(ShippedHelpFile, EveryLinkIndexEntryAndContextLeadsToAnAnchor)
{
    const QSet<QString> names = anchorNames();
    for (const QString &link : internalLinks())
        EXPECT_TRUE(names.contains(link)) << link.toStdString();
    const QList<HelpKeyword> keywords = helpKeywords(document);
    EXPECT_GE(keywords.size(), 30);
    for (const HelpKeyword &entry : keywords)
        EXPECT_TRUE(names.contains(entry.anchor)) << entry.keyword.toStdString();
    for (int context = 1; context <= 8; ++context)
        EXPECT_TRUE(names.contains(helpContextAnchor(context))) << context;
}

TEST_F(ShippedHelpFile, NeedsNothingFromOutside)
{
    for (const char *outside : {"<script", "<img", "<link", "src=", "url("})
        EXPECT_FALSE(html.contains(outside)) << outside;
}

TEST_F(ShippedHelpFile, WindowShowsItWithItsTitleAndContents)
{
    HelpWindow window;
    window.showContents(filePath());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Corvane — справка"));
    ASSERT_EQ(window.contentsTree()->topLevelItemCount(), 1);
    const QList<HelpHeading> headings = helpHeadings(document);
    const auto sections = std::count_if(headings.begin(), headings.end(), [](const HelpHeading &h) { return h.level == 2; });
    EXPECT_EQ(window.contentsTree()->topLevelItem(0)->childCount(), sections);
}

// The TV buttons' captions are written with Latin look-alike letters; the operator searches
// the index in plain Cyrillic and must still land on the TV section.
struct ShippedIndexCase
{
    const char *name;
    const char *typed;
    const char *entry;
};

class ShippedHelpIndex : public ShippedHelpFile, public ::testing::WithParamInterface<ShippedIndexCase>
{
};

TEST_P(ShippedHelpIndex, TypedCyrillicFindsTheTvSection)
{
    const ShippedIndexCase &c = GetParam();
    HelpWindow window;
    window.showIndex(filePath(), QString());
    window.indexFilter()->setFocus();
    // Key by key, each carrying its Cyrillic letter as a keyboard layout delivers it.
    for (const QChar letter : QString::fromUtf8(c.typed))
        QTest::sendKeyEvent(QTest::Click, window.indexFilter(), Qt::Key_unknown, QString(letter), Qt::NoModifier);
    const QListWidgetItem *current = window.indexList()->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(), QString::fromUtf8(c.entry));

    QTest::keyClick(window.indexFilter(), Qt::Key_Return);
    EXPECT_EQ(window.browser()->source().fragment(), QStringLiteral("tv"));
}

INSTANTIATE_TEST_SUITE_P(Cases, ShippedHelpIndex,
                         ::testing::Values(ShippedIndexCase{"SwitchOn", "включ", "Включить телевизор"},
                                           ShippedIndexCase{"SwitchOff", "ОТКЛЮЧ", "Отключить телевизор"},
                                           ShippedIndexCase{"Television", "телевизор", "телевизор"},
                                           ShippedIndexCase{"StatusOn", "тв вкл", "ТВ ВКЛЮЧЕН"},
                                           ShippedIndexCase{"StatusOff", "тв откл", "ТВ ОТКЛЮЧЕН!"}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace


#include "HelpViewerTest.moc"
