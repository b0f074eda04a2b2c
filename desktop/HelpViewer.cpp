#include "HelpViewer.h"

#include "HelpWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString helpFileOfProgram(const QString &programFile)
{
    const QFileInfo program(programFile);
    const QString fileName = program.completeBaseName() + QStringLiteral(".html");
    const QString beside = QDir(program.absolutePath()).filePath(fileName);
    if (QFileInfo(beside).isFile())
        return beside;
    return QDir::cleanPath(program.absolutePath() + QStringLiteral("/../share/corvane/") + fileName);
}

QString helpContextAnchor(int contextNumber)
{
    return QStringLiteral("context-%1").arg(contextNumber);
}

TSPHelpViewer::TSPHelpViewer(const QString &programFile)
    : m_programFile(programFile)
{
}

TSPHelpViewer::~TSPHelpViewer() = default;

QString TSPHelpViewer::GetViewerName() const
{
    return QStringLiteral("HtmlHelp");
}

// Whatever the keyword, the index has a place for it.
int TSPHelpViewer::UnderstandsKeyword(const QString &) const
{
    return 1;
}

QStringList TSPHelpViewer::GetHelpStrings(const QString &keyword) const
{
    return {GetViewerName() + QStringLiteral(": ") + keyword};
}

bool TSPHelpViewer::CanShowTableOfContents() const
{
    return true;
}

void TSPHelpViewer::ShowTableOfContents()
{
    showHelpFile(QString(), [](HelpWindow &window, const QString &file) { window.showContents(file); });
}

void TSPHelpViewer::ShowHelp(const QString &keyword)
{
    showHelpFile(QString(), [&keyword](HelpWindow &window, const QString &file) { window.showIndex(file, keyword); });
}

void TSPHelpViewer::NotifyID(int viewerId)
{
    m_viewerId = viewerId;
}

// Closing needs no help file: a window may be open although its file has gone since.
void TSPHelpViewer::SoftShutDown()
{
    HelpWindow::closeAll();
}

void TSPHelpViewer::ShutDown()
{
    SoftShutDown();
    m_window.reset();
}

bool TSPHelpViewer::UnderstandsTopic(const QString &) const
{
    return true;
}

void TSPHelpViewer::DisplayTopic(const QString &topic)
{
    const QString anchor = topic.section(QLatin1Char('#'), -1);
    showHelpFile(QString(), [&anchor](HelpWindow &window, const QString &file) { window.showTopic(file, anchor); });
}

bool TSPHelpViewer::UnderstandsContext(int, const QString &) const
{
    return true;
}

// A context number has a meaning only in the file whose anchors define it, so the file shown
// is the one the caller named (and whose existence decides whether anything happens), not
// the program's default one: a number meant for another file would lead to an unrelated
// place of ours. With an empty name, the only case the program itself has, both are the same.
void TSPHelpViewer::DisplayHelpByContext(int contextNumber, const QString &fileName)
{
    const QString anchor = helpContextAnchor(contextNumber);
    showHelpFile(fileName, [&anchor](HelpWindow &window, const QString &file) { window.showTopic(file, anchor); });
}

bool TSPHelpViewer::CallWinHelp(QWidget *, const QString &, int, quintptr) const
{
    return false;
}

QString TSPHelpViewer::GetHelpFileFor(const QString &name) const
{
    const QString program = m_programFile.isEmpty() ? QCoreApplication::applicationFilePath() : m_programFile;
    const QString candidate = name.isEmpty() ? helpFileOfProgram(program) : name;
    return QFileInfo(candidate).isFile() ? candidate : QString();
}

void TSPHelpViewer::showHelpFile(const QString &name, const std::function<void(HelpWindow &, const QString &)> &show)
{
    const QString file = GetHelpFileFor(name);
    if (file.isEmpty())
        return;
    if (!m_window)
        m_window = std::make_unique<HelpWindow>();
    show(*m_window, file);
}
