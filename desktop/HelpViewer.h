#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <memory>

class HelpWindow;
class QWidget;

// Where a program file's help lies: beside it, with the extension replaced by ".html"; when
// there is no such file, where an installation puts it, <folder>/../share/corvane/<title>.html
// (so /usr/bin/corvane finds /usr/share/corvane/corvane.html). The second path is returned
// whether or not it exists.
QString helpFileOfProgram(const QString &programFile);

// The anchor a context number leads to in the help file: "context-<number>".
QString helpContextAnchor(int contextNumber);

// Answers the program's help requests with the program's own help window, showing the HTML
// help file of the program. Every request that shows something resolves the help file first;
// when there is none, the request does nothing and says nothing.
class TSPHelpViewer
{
public:
    // programFile: whose help is shown; empty means the running program.
    explicit TSPHelpViewer(const QString &programFile = QString());
    ~TSPHelpViewer();
    TSPHelpViewer(const TSPHelpViewer &) = delete;
    TSPHelpViewer &operator=(const TSPHelpViewer &) = delete;

    QString GetViewerName() const;
    int UnderstandsKeyword(const QString &keyword) const;
    QStringList GetHelpStrings(const QString &keyword) const;
    bool CanShowTableOfContents() const;
    void ShowTableOfContents();
    // The index, at the keyword.
    void ShowHelp(const QString &keyword);
    void NotifyID(int viewerId);
    int viewerId() const { return m_viewerId; }
    // Closes every help window of the process.
    void SoftShutDown();
    // As SoftShutDown, and lets the window go: for the end of the program.
    void ShutDown();
    bool UnderstandsTopic(const QString &topic) const;
    // The help file at the anchor the topic names ("tv" or "#tv").
    void DisplayTopic(const QString &topic);
    bool UnderstandsContext(int contextNumber, const QString &fileName) const;
    // The file named (empty: the program's help file) at the anchor of the context number.
    void DisplayHelpByContext(int contextNumber, const QString &fileName);
    // The help requests in the old WinHelp form are declined: there is no WinHelp here.
    bool CallWinHelp(QWidget *window, const QString &fileName, int command, quintptr data) const;

    // The help file for a name: the name itself, or the program's help file when the name is
    // empty; empty text when that file does not exist.
    QString GetHelpFileFor(const QString &name) const;

    // The window the requests have opened; none before the first one that found a file.
    HelpWindow *helpWindow() const { return m_window.get(); }

private:
    void showHelpFile(const QString &name, const std::function<void(HelpWindow &, const QString &)> &show);

    QString m_programFile;
    int m_viewerId = 0;
    std::unique_ptr<HelpWindow> m_window;
};
