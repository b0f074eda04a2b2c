#pragma once

#include "content/TitlePicture.h"

#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

// The title band of both boards and what the operator does with it on the settings tab:
// a line of text, or a picture. Holds what the boards show (the caption, the picture, which
// of the two), whether the picture option may be chosen, and keeps "FileName" and
// "TitleMode" in the program's settings. The boards and the tab follow its signals.
//
// A name without a folder is looked up in the current working directory, for the existence
// tests and the loads alike.
class TitleLine : public QObject
{
    Q_OBJECT
public:
    // The boards start with the text title showing their design caption.
    explicit TitleLine(const QString &designCaption, QObject *parent = nullptr);

    QString caption() const { return m_caption; }
    bool showsPicture() const { return m_showsPicture; }
    bool pictureEnabled() const { return m_pictureEnabled; }
    const TitlePicture &picture() const { return m_picture; }

    // The text option is selected; the caption becomes the combo box's text.
    void showTextTitle(const QString &text);
    // The picture option is selected: the picture loaded last shows.
    void showPictureTitle();
    // Selecting an option runs its routine only when the option was not selected yet.
    void selectText(const QString &text);
    void selectPicture();

    // A picture file chosen in the dialog, loaded for a band of `band` at the most. On
    // failure returns the message for the operator and changes nothing.
    std::optional<QString> choosePicture(const QString &path, QSize band);
    // The largest title band the picture fills is now `band`: the picture is decoded again
    // from its file's bytes when that band needs another scale, as a start would decode it.
    void fitPicture(QSize band);
    // The operator edited the combo box's text.
    void editText(const QString &text);
    // The operator picked `entry` from the history.
    void pickEntry(const QString &entry);

    // The last start-up step: the title source `fileName` as the settings hold it now. The
    // picture option is offered when the file exists and loads; a picture that exists but
    // does not load leaves the text title and its message is returned, for saying once.
    std::optional<QString> startUp(const QString &fileName, QSize band);

    // Whether a file of that name exists (a folder does not count).
    static bool fileExists(const QString &name);

signals:
    void captionChanged(const QString &caption);
    // Which of the two the band shows.
    void modeChanged(bool showsPicture);
    void pictureChanged();
    void pictureEnabledChanged(bool enabled);

private:
    void setCaption(const QString &caption);
    void setShowsPicture(bool showsPicture);
    void setPictureEnabled(bool enabled);

    QString m_caption;
    bool m_showsPicture = false;
    bool m_pictureEnabled = false;
    TitlePicture m_picture;
};
