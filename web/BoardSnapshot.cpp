#include "BoardSnapshot.h"
#include "PngWriter.h"

#include "board/FrameCorvane.h"
#include "board/TitleImage.h"
#include "controls/Label3D.h"
#include "controls/RunPath.h"
#include "controls/RunString.h"
#include "platform/ProgramSettings.h"

#include <QCryptographicHash>
#include <QPainter>

BoardSnapshot::BoardSnapshot(const TFrameCorvane *followed)
    : m_followed(followed)
    , m_host(std::make_unique<TDockPanel>())
{
    // Never shown: it is only drawn into pictures.
    m_host->setAttribute(Qt::WA_DontShowOnScreen);
    m_host->setBackground(Qt::black);
    m_frame = new TFrameCorvane(m_host.get());
    m_host->dock(m_frame, DockSide::Fill);
    m_frame->InitBoard();
    m_frame->PanelTablo->moveDockedToFront(m_frame->ImageTop);
    m_frame->PanelTablo->moveDockedAfter(m_frame->SplitterT, m_frame->LabelTop);
}

BoardSnapshot::~BoardSnapshot() = default;

QByteArray BoardSnapshot::stateKey() const
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    const auto add = [&hash](const QString &text) {
        hash.addData(text.toUtf8());
        hash.addData(QByteArrayView("\x1f", 1));
    };
    for (const TLabel3D *label : m_followed->findChildren<TLabel3D *>()) {
        add(label->objectName());
        add(label->caption());
        add(label->font().key());
        add(QString::number(label->fontColor(), 16));
    }
    const TTitleImage *title = m_followed->ImageTop;
    add(QString::number(title->isHidden()) + QString::number(title->picture().identity()));
    const Proportions &proportions = programSettings().proportions();
    for (int tag = 0; tag < Proportions::kCount; ++tag)
        add(QString::number(proportions.at(tag)));
    return hash.result().toHex().left(16);
}

void BoardSnapshot::followIfChanged()
{
    const QByteArray key = stateKey();
    if (key == m_followedKey)
        return;
    m_followedKey = key;
    m_pictures.clear();
    m_frame->copyLookFrom(m_followed);
    m_frame->copyRowsAndTitleFrom(m_followed);
    if (m_followed->ImageTop->picture().identity() != m_ownTitleOf)
        m_ownTitle = TitlePicture(); // decoded for a picture the board no longer shows
}

QSize BoardSnapshot::boundedSize(QSize requested)
{
    return requested.expandedTo(kMinimumSize).boundedTo(kMaximumSize);
}

void BoardSnapshot::layOutFor(QSize size)
{
    m_frame->setLayoutMonitor(size);
    m_host->resize(size);
    m_host->redock();
    m_frame->FrameResize();
}

// The followed board's decode serves every band it covers; a larger band gets a decode of
// its own, kept for the next page of that size or smaller, so the followed board's picture
// stays as it is and no more than one extra decode is held.
void BoardSnapshot::showSharpTitle()
{
    TTitleImage *title = m_frame->ImageTop;
    if (title->isHidden())
        return;
    const TitlePicture &followed = m_followed->ImageTop->picture();
    const QSize band = title->size();
    const TitlePicture *shown = &followed;
    if (!followed.isSharpFor(band)) {
        if (m_ownTitleOf != followed.identity() || !m_ownTitle.isSharpFor(band)) {
            m_ownTitle = followed.decodedFor(band);
            m_ownTitleOf = followed.identity();
        }
        shown = &m_ownTitle;
    }
    if (title->picture().identity() != shown->identity())
        title->setPicture(*shown);
}

QRect BoardSnapshot::tickerBand(QSize size)
{
    followIfChanged();
    layOutFor(boundedSize(size));
    const TLabel3D *bottom = m_frame->LabelBot;
    return QRect(bottom->mapTo(m_host.get(), QPoint(0, 0)), bottom->size());
}

bool BoardSnapshot::isKept(QSize size)
{
    return kept(size) != nullptr;
}

const BoardSnapshot::Picture *BoardSnapshot::kept(QSize size)
{
    followIfChanged();
    size = boundedSize(size);
    const auto found = m_pictures.find({size.width(), size.height()});
    return found == m_pictures.end() ? nullptr : &found->second;
}

BoardDrawing BoardSnapshot::drawing(QSize size)
{
    followIfChanged();
    size = boundedSize(size);
    layOutFor(size);
    showSharpTitle();
    return BoardDrawing::of(m_host.get());
}

void BoardSnapshot::keep(QSize size, Picture picture)
{
    followIfChanged();
    if (picture.version != m_followedKey)
        return;
    size = boundedSize(size);
    if (m_pictures.size() >= kKeptSizes)
        m_pictures.clear();
    m_pictures.insert_or_assign({size.width(), size.height()}, std::move(picture));
}

const BoardSnapshot::Picture &BoardSnapshot::picture(QSize size)
{
    followIfChanged();
    size = boundedSize(size);
    const std::pair<int, int> key{size.width(), size.height()};
    if (auto kept = m_pictures.find(key); kept != m_pictures.end())
        return kept->second;
    keep(size, {encodePng(drawing(size).draw()), m_followedKey});
    return m_pictures.at(key);
}

BoardSnapshot::TickerStrip BoardSnapshot::tickerStrip(QSize size, const QString &text, const TRunString &ticker)
{
    const QRect band = tickerBand(size);
    TRunString strip;
    strip.setLabelStyle(ticker.labelStyle());
    strip.setDepth(ticker.depth());
    strip.setColor(ticker.color());
    strip.setColorH(ticker.colorH());
    strip.setColorS(ticker.colorS());
    strip.setRFont(m_frame->LabelBot->font(), m_frame->LabelBot->fontColor());
    strip.setRText(text);
    strip.resize(1, band.height());
    strip.Recalculate();
    return {strip.currentStripKey(), QSize(std::max(1, strip.textBoxWidth()), std::max(1, band.height())),
            runpath::centred(band.height(), strip.textBoxHeight())};
}

QImage BoardSnapshot::TickerStrip::draw() const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(look.background));
    QPainter painter(&image);
    TRunString::DrawStyledText(painter, 0, textTop, look);
    return image;
}
