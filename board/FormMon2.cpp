#include "FormMon2.h"

#include "TargetMonitor.h"
#include "TitleImage.h"
#include "controls/Label3D.h"
#include "controls/RunLabel.h"
#include "platform/ProgramSettings.h"

#include <QLabel>
#include <QScreen>
#include <QWindow>

TFormMon2::TFormMon2(const TFrameCorvane *preview, const BoardContent &content,
                     QWidget *parent)
    : TDockPanel(parent)
{
    setObjectName(QStringLiteral("FormMon2"));
    // Customers only look at it: it never takes the focus or the mouse, and shows no pointer.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setCursor(Qt::BlankCursor);
    setFocusPolicy(Qt::NoFocus);
    setBackground(Qt::black);
    QFont font(QStringLiteral("Arial Narrow"));
    font.setPixelSize(11);
    setFont(font);

    FrameCorvane1 = new TFrameCorvane(this);
    FrameCorvane1->setCursor(Qt::BlankCursor);
    dock(FrameCorvane1, DockSide::Fill);
    connect(FrameCorvane1->RunLabel, &TRunString::OnBegin, this, &TFormMon2::FrameCorvane1RunLabelBegin);
    connect(FrameCorvane1->RunLabel, &TRunString::OnEnd, this, &TFormMon2::FrameCorvane1RunLabelEnd);
    FormCreate(preview, content);
}

void TFormMon2::FormCreate(const TFrameCorvane *preview, const BoardContent &content)
{
    TFrameCorvane *board = FrameCorvane1;
    board->InitBoard();
    // The title shows what the preview's title shows: its text, or the picture it holds.
    board->PanelTablo->moveDockedToFront(board->ImageTop);
    board->ImageTop->setPicture(preview->ImageTop->picture());
    board->showTitlePicture(!preview->ImageTop->isHidden());
    board->copyLookFrom(preview);
    if (programSettings().tv())
        show();
    board->PanelTablo->moveDockedAfter(board->SplitterT, board->LabelTop);
    board->followRates(content);
}

void TFormMon2::hideEvent(QHideEvent *event)
{
    TDockPanel::hideEvent(event);
    emit visibilityChanged(false);
}

void TFormMon2::showEvent(QShowEvent *event)
{
    TDockPanel::showEvent(event);
    emit visibilityChanged(true);
    FormShow();
}

// Covers the whole target monitor as it is at this moment, task bar included.
void TFormMon2::FormShow()
{
    if (QScreen *screen = targetMonitor()) {
        if (windowHandle())
            windowHandle()->setScreen(screen);
    }
    setGeometry(targetMonitorGeometry());
}

void TFormMon2::resizeEvent(QResizeEvent *event)
{
    TDockPanel::resizeEvent(event);
    FormResize();
}

void TFormMon2::FormResize()
{
    redock();
    FrameCorvane1->FrameResize();
    // A running ticker keeps to the bottom band when the board takes another shape, and
    // goes on where it was.
    TRunLabel *ticker = FrameCorvane1->RunLabel;
    if (!ticker->isHidden()) {
        const TLabel3D *bottom = FrameCorvane1->LabelBot;
        ticker->setGeometry(bottom->geometry());
        ticker->setRFont(bottom->font(), bottom->fontColor());
    }
}

void TFormMon2::startTicker(const QString &text)
{
    TRunLabel *ticker = FrameCorvane1->RunLabel;
    const TLabel3D *bottom = FrameCorvane1->LabelBot;
    ticker->setRText(text);
    // The ticker covers the bottom band exactly, in the band's font.
    ticker->setRFont(bottom->font(), bottom->fontColor());
    ticker->setGeometry(bottom->geometry());
    ticker->show();
    ticker->raise();
    ticker->Start(0);
}

void TFormMon2::runNext(const QString &text)
{
    FrameCorvane1->RunLabel->setRText(text);
    FrameCorvane1->RunLabel->Start(0);
}

void TFormMon2::stopTicker()
{
    TFrameCorvane *board = FrameCorvane1;
    board->LabelBot->setCaption(QString());
    board->RunLabel->Stop();
    board->LabelBot->show();
    board->RunLabel->hide();
    // The separator goes back directly above the bottom band.
    board->PanelTablo->moveDockedAfter(board->SplitterB, board->LabelBot);
}

void TFormMon2::setTickerStep(int step)
{
    FrameCorvane1->RunLabel->setOneStep(step);
}

void TFormMon2::FrameCorvane1RunLabelBegin()
{
    emit runBegan(FrameCorvane1->RunLabel->rText());
}

void TFormMon2::FrameCorvane1RunLabelEnd()
{
    emit runEnded();
}
