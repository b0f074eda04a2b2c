#pragma once

#include "BoardDrawing.h"
#include "content/TitlePicture.h"
#include "controls/RunString.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <map>
#include <memory>
#include <utility>

class TDockPanel;
class TFrameCorvane;

// The board drawn off-screen for a screen of any size, as the TV board would look on a
// monitor of that shape: a frame of its own, laid out afresh for that shape, with the
// look, the rows and the title of the board it follows. A picture is made once per size
// and kept until the followed board changes. A page larger than the followed board shows the
// title picture decoded for its own band, never the followed board's decode blown up.
class BoardSnapshot
{
public:
    explicit BoardSnapshot(const TFrameCorvane *followed);
    ~BoardSnapshot();
    BoardSnapshot(const BoardSnapshot &) = delete;
    BoardSnapshot &operator=(const BoardSnapshot &) = delete;

    // Changes whenever anything the followed board shows changes: captions, fonts and their
    // colours, the title picture, the proportions.
    QByteArray stateKey() const;

    // The state key of the followed board as this one last took it up.
    const QByteArray &followedKey() const { return m_followedKey; }

    struct Picture
    {
        QByteArray png;
        QByteArray version; // the state key of the board it shows
    };
    // Whether the picture for that size is made already and still shows the followed board.
    bool isKept(QSize size);
    // The board for a screen of that size (within kMinimumSize..kMaximumSize).
    const Picture &picture(QSize size);
    // The picture for that size if it is made already and still shows the followed board.
    const Picture *kept(QSize size);
    // The board for a screen of that size, copied out of its widgets to be drawn and packed
    // on another thread; the picture made there is kept with `keep`.
    BoardDrawing drawing(QSize size);
    // Keeps a picture packed elsewhere, if the board still shows what it was drawn from.
    void keep(QSize size, Picture picture);
    // The bottom band of the board for a screen of that size.
    QRect tickerBand(QSize size);
    // The text once, with the ticker's effect in the bottom band's font and colour as it is
    // for a screen of that size, as high as the band: the page moves it across. Measured
    // here, drawn on any thread.
    struct TickerStrip
    {
        TRunString::StripKey look;
        QSize size;
        int textTop = 0;
        QImage draw() const;
    };
    TickerStrip tickerStrip(QSize size, const QString &text, const TRunString &ticker);

    // The screen sizes drawn: from a phone on its side to a 4K screen either way up, nothing
    // larger (a larger page shows the picture scaled).
    static QSize boundedSize(QSize requested);
    static constexpr QSize kMinimumSize{64, 64};
    static constexpr QSize kMaximumSize{3840, 3840};
    // The most sizes kept at once; browsers of the office come in a handful of sizes.
    static constexpr std::size_t kKeptSizes = 16;

private:
    void followIfChanged();
    void layOutFor(QSize size);
    void showSharpTitle();

    const TFrameCorvane *m_followed;
    std::unique_ptr<TDockPanel> m_host;
    TFrameCorvane *m_frame;
    QByteArray m_followedKey;
    std::map<std::pair<int, int>, Picture> m_pictures;
    // The followed board's title picture decoded for the largest band asked for that its
    // own decode does not cover; one at a time, for the picture the followed board holds.
    TitlePicture m_ownTitle;
    quintptr m_ownTitleOf = 0;
};
