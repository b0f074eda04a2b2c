#include "TitleLine.h"

#include "platform/ProgramSettings.h"

#include <QFileInfo>

TitleLine::TitleLine(const QString &designCaption, QObject *parent)
    : QObject(parent)
    , m_caption(designCaption)
{
}

bool TitleLine::fileExists(const QString &name)
{
    return !name.isEmpty() && QFileInfo(name).isFile();
}

void TitleLine::showTextTitle(const QString &text)
{
    setShowsPicture(false);
    setCaption(text);
    programSettings().setTitleMode(0);
}

void TitleLine::showPictureTitle()
{
    setShowsPicture(true);
    programSettings().setTitleMode(1);
}

void TitleLine::selectText(const QString &text)
{
    if (m_showsPicture)
        showTextTitle(text);
}

void TitleLine::selectPicture()
{
    if (!m_showsPicture && m_pictureEnabled)
        showPictureTitle();
}

std::optional<QString> TitleLine::choosePicture(const QString &path, QSize band)
{
    TitlePicture::Loaded loaded = TitlePicture::load(path, band);
    if (loaded.picture.isNull())
        return loaded.error;
    m_picture = loaded.picture;
    emit pictureChanged();
    programSettings().setFileName(path);
    setPictureEnabled(fileExists(path));
    return std::nullopt;
}

void TitleLine::fitPicture(QSize band)
{
    const TitlePicture fitted = m_picture.decodedFor(band);
    if (fitted.identity() == m_picture.identity())
        return;
    m_picture = fitted;
    emit pictureChanged();
}

void TitleLine::editText(const QString &text)
{
    setCaption(text);
}

void TitleLine::pickEntry(const QString &entry)
{
    if (fileExists(entry)) {
        setPictureEnabled(true);
        return;
    }
    setCaption(entry);
    selectText(entry);
}

std::optional<QString> TitleLine::startUp(const QString &fileName, QSize band)
{
    std::optional<QString> error;
    if (fileExists(fileName)) {
        TitlePicture::Loaded loaded = TitlePicture::load(fileName, band);
        if (loaded.picture.isNull()) {
            error = loaded.error;
        } else {
            m_picture = loaded.picture;
            emit pictureChanged();
            setPictureEnabled(true);
        }
    }
    setCaption(fileName);
    if (m_pictureEnabled && programSettings().titleMode() == 1)
        selectPicture();
    return error;
}

void TitleLine::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void TitleLine::setShowsPicture(bool showsPicture)
{
    if (showsPicture == m_showsPicture)
        return;
    m_showsPicture = showsPicture;
    emit modeChanged(showsPicture);
}

void TitleLine::setPictureEnabled(bool enabled)
{
    if (enabled == m_pictureEnabled)
        return;
    m_pictureEnabled = enabled;
    emit pictureEnabledChanged(enabled);
}
