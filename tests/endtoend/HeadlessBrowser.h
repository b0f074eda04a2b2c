#pragma once

#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariant>

// A browser without a window for the end-to-end tests: headless Chromium, driven through its
// DevTools protocol over a pair of pipes. It opens one page at a given window size, runs
// script in it and takes screenshots of it as it is, without loading it again.
class HeadlessBrowser
{
public:
    HeadlessBrowser();
    ~HeadlessBrowser();
    HeadlessBrowser(const HeadlessBrowser &) = delete;
    HeadlessBrowser &operator=(const HeadlessBrowser &) = delete;

    bool available() const { return m_toBrowser >= 0 && m_whyNot.isEmpty(); }
    QString whyNot() const { return m_whyNot; }

    // Opens the page in a new tab whose window has that size in CSS pixels (one device pixel
    // each); false, with the reason in whyNot(), when it cannot.
    bool open(const QUrl &url, QSize window);
    // The value of a script expression in the page; invalid on failure.
    QVariant evaluate(const QString &expression);
    // What the page shows now.
    QImage screenshot();

private:
    bool start();
    // Sends a command and waits for its answer; an empty object on failure or timeout.
    QJsonObject call(const QString &method, const QJsonObject &params = {}, bool toPage = true);
    bool send(const QJsonObject &message);
    // The next message from the browser; empty on timeout.
    QJsonObject receive(int timeoutMs);

    QProcess m_process;
    QTemporaryDir m_profile;
    int m_toBrowser = -1;
    int m_fromBrowser = -1;
    QByteArray m_pending;
    int m_nextId = 1;
    QString m_session;
    QString m_whyNot;
};
