#pragma once

#include "platform/FontRecord.h"
#include "platform/TColor.h"

#include <QDateTime>

#include <optional>

class QWidget;

// The questions the operator window asks with a modal dialog, behind one small interface so
// that tests can script the answers.
class Dialogs
{
public:
    virtual ~Dialogs();

    // The font dialog, opened with `initial`; nullopt when the operator cancels. The font
    // dialog knows neither colour nor character set: those stay what `initial` had.
    virtual std::optional<BoardFont> chooseFont(const BoardFont &initial, QWidget *parent) = 0;
    // The colour dialog with its custom colours and free choice of any colour, opened with
    // `initial`; nullopt when the operator cancels.
    virtual std::optional<TColor> chooseColor(TColor initial, QWidget *parent) = 0;
    // The list-file dialogs: text files, starting in `folder`; the path, or nullopt on cancel.
    // The open dialog accepts a name that does not exist; the save dialog adds ".txt" and
    // does not ask before replacing a file.
    virtual std::optional<QString> chooseOpenFile(const QString &folder, QWidget *parent) = 0;
    virtual std::optional<QString> chooseSaveFile(const QString &folder, QWidget *parent) = 0;
    // The picture dialog: the formats the title band shows, starting in `folder`; only an
    // existing file is accepted. The path, or nullopt on cancel.
    virtual std::optional<QString> choosePicture(const QString &folder, QWidget *parent) = 0;
    // The journal's save dialog: a file of the type `suffix` ("csv", "pdf"), starting in
    // `folder`; the suffix is added when missing. The path, or nullopt on cancel.
    virtual std::optional<QString> chooseExportFile(const QString &folder, const QString &suffix, QWidget *parent) = 0;
    // A date and time, opened at `initial`; nullopt on cancel.
    virtual std::optional<QDateTime> chooseMoment(const QDateTime &initial, QWidget *parent) = 0;

    // The program's own dialogs.
    static Dialogs &system();
};
