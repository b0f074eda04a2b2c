#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QQueue>

// Dialogs that answer from a script, one answer per dialog in the order the dialogs open,
// and keep what each dialog was opened with. A dialog that finds no answer, or a font answer
// for the colour dialog (or the other way round), fails the running test and counts as
// cancelled, so a script that does not match the code under test never passes quietly.
class ScriptedDialogs : public Dialogs
{
public:
    enum class Kind { Font, Color, OpenFile, SaveFile, Picture, ExportFile, Moment };

    struct Opening
    {
        Kind kind = Kind::Font;
        BoardFont font;        // the font dialog's initial font
        TColor color = clBlack; // the colour dialog's initial colour
        QString folder;         // a file dialog's starting folder
        QWidget *parent = nullptr;
        QString suffix;         // the export dialog's file type
        QDateTime moment;       // the moment dialog's initial moment
    };

    void answerFont(const BoardFont &font);
    void answerColor(TColor color);
    void answerOpenFile(const QString &path);
    void answerSaveFile(const QString &path);
    void answerPicture(const QString &path);
    void answerExportFile(const QString &path);
    void answerMoment(const QDateTime &moment);
    // The operator cancels whichever dialog opens next.
    void cancel();

    std::optional<BoardFont> chooseFont(const BoardFont &initial, QWidget *parent) override;
    std::optional<TColor> chooseColor(TColor initial, QWidget *parent) override;
    std::optional<QString> chooseOpenFile(const QString &folder, QWidget *parent) override;
    std::optional<QString> chooseSaveFile(const QString &folder, QWidget *parent) override;
    std::optional<QString> choosePicture(const QString &folder, QWidget *parent) override;
    std::optional<QString> chooseExportFile(const QString &folder, const QString &suffix, QWidget *parent) override;
    std::optional<QDateTime> chooseMoment(const QDateTime &initial, QWidget *parent) override;

    const QList<Opening> &openings() const { return m_openings; }
    qsizetype unusedAnswers() const { return m_answers.size(); }

private:
    struct Answer
    {
        std::optional<Kind> kind; // none: a cancel, fitting either dialog
        BoardFont font;
        TColor color = clBlack;
        QString path;
        QDateTime moment;
    };
    std::optional<QString> choosePath(Kind kind, const QString &folder, QWidget *parent);
    // The next answer if it fits a dialog of `kind`; nullopt for a cancel or a failed script.
    std::optional<Answer> takeAnswer(Kind kind);

    QQueue<Answer> m_answers;
    QList<Opening> m_openings;
};
