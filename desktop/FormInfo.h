#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// The about window: the maker's logo, the program's name, version and icon, the maker's
// notices and a link to the maker's contact page. The program creates it hidden at start
// and shows it modally with exec(); closing it only hides it again.
class TFormInfo : public QDialog
{
    Q_OBJECT
public:
    using UrlOpener = std::function<void(const QUrl &)>;

    explicit TFormInfo(QWidget *parent = nullptr);

    // The maker's contact page, and the address Label2 shows for it.
    static QUrl contactPage();
    static QString contactAddress();

    // Whatever opens the contact page; the system's web browser unless replaced.
    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    void FormShow();
    void sOKClick();
    // A character key that reached the window itself (not one of its controls).
    void FormKeyPress(QChar key);
    void Image1Click();

    QLabel *Image1 = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *ImageICON = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *LabelVer = nullptr;
    QLabel *Label3 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QPushButton *sOK = nullptr;
    QLabel *Lab = nullptr;
    QLabel *Label2 = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setUpWindow();
    void createLogo();
    void createIconPanel();
    void createTitleLabels();
    void createNotices();
    void createButton();
    void createContactLabels();
    void centreOverParent();

    UrlOpener m_openUrl;
};
