#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

const char *kindName(ScriptedDialogs::Kind kind)
{
    switch (kind) {
    case ScriptedDialogs::Kind::Font: return "font";
    case ScriptedDialogs::Kind::Color: return "colour";
    case ScriptedDialogs::Kind::OpenFile: return "open file";
    case ScriptedDialogs::Kind::SaveFile: return "save file";
    case ScriptedDialogs::Kind::Picture: return "picture";
    case ScriptedDialogs::Kind::ExportFile: return "export file";
    case ScriptedDialogs::Kind::Moment: return "moment";
    }
    return "?";
}

} // namespace

void ScriptedDialogs::answerFont(const BoardFont &font)
{
    m_answers.enqueue({Kind::Font, font, clBlack, QString(), {}});
}

void ScriptedDialogs::answerColor(TColor color)
{
    m_answers.enqueue({Kind::Color, BoardFont{}, color, QString(), {}});
}

void ScriptedDialogs::answerOpenFile(const QString &path)
{
    m_answers.enqueue({Kind::OpenFile, BoardFont{}, clBlack, path, {}});
}

void ScriptedDialogs::answerSaveFile(const QString &path)
{
    m_answers.enqueue({Kind::SaveFile, BoardFont{}, clBlack, path, {}});
}

void ScriptedDialogs::answerPicture(const QString &path)
{
    m_answers.enqueue({Kind::Picture, BoardFont{}, clBlack, path, {}});
}

void ScriptedDialogs::answerExportFile(const QString &path)
{
    m_answers.enqueue({Kind::ExportFile, BoardFont{}, clBlack, path, {}});
}

void ScriptedDialogs::answerMoment(const QDateTime &moment)
{
    m_answers.enqueue({Kind::Moment, BoardFont{}, clBlack, QString(), moment});
}

std::optional<QString> ScriptedDialogs::chooseExportFile(const QString &folder, const QString &suffix, QWidget *parent)
{
    m_openings.append({Kind::ExportFile, BoardFont{}, clBlack, folder, parent, suffix, {}});
    const std::optional<Answer> answer = takeAnswer(Kind::ExportFile);
    return answer ? std::optional<QString>(answer->path) : std::nullopt;
}

std::optional<QDateTime> ScriptedDialogs::chooseMoment(const QDateTime &initial, QWidget *parent)
{
    m_openings.append({Kind::Moment, BoardFont{}, clBlack, QString(), parent, QString(), initial});
    const std::optional<Answer> answer = takeAnswer(Kind::Moment);
    return answer ? std::optional<QDateTime>(answer->moment) : std::nullopt;
}

std::optional<QString> ScriptedDialogs::choosePicture(const QString &folder, QWidget *parent)
{
    return choosePath(Kind::Picture, folder, parent);
}

std::optional<QString> ScriptedDialogs::chooseOpenFile(const QString &folder, QWidget *parent)
{
    return choosePath(Kind::OpenFile, folder, parent);
}

std::optional<QString> ScriptedDialogs::chooseSaveFile(const QString &folder, QWidget *parent)
{
    return choosePath(Kind::SaveFile, folder, parent);
}

std::optional<QString> ScriptedDialogs::choosePath(Kind kind, const QString &folder, QWidget *parent)
{
    m_openings.append({kind, BoardFont{}, clBlack, folder, parent, {}, {}});
    const std::optional<Answer> answer = takeAnswer(kind);
    return answer ? std::optional<QString>(answer->path) : std::nullopt;
}

void ScriptedDialogs::cancel()
{
    m_answers.enqueue({std::nullopt, BoardFont{}, clBlack, QString(), {}});
}

std::optional<ScriptedDialogs::Answer> ScriptedDialogs::takeAnswer(Kind kind)
{
    if (m_answers.isEmpty()) {
        ADD_FAILURE() << "the " << kindName(kind) << " dialog opened with no answer left in the script";
        return std::nullopt;
    }
    const Answer answer = m_answers.dequeue();
    if (answer.kind && *answer.kind != kind) {
        ADD_FAILURE() << "the " << kindName(kind) << " dialog opened where the script expected the "
                      << kindName(*answer.kind) << " dialog";
        return std::nullopt;
    }
    return answer.kind ? std::optional<Answer>(answer) : std::nullopt;
}

std::optional<BoardFont> ScriptedDialogs::chooseFont(const BoardFont &initial, QWidget *parent)
{
    m_openings.append({Kind::Font, initial, clBlack, QString(), parent, {}, {}});
    const std::optional<Answer> answer = takeAnswer(Kind::Font);
    return answer ? std::optional<BoardFont>(answer->font) : std::nullopt;
}

std::optional<TColor> ScriptedDialogs::chooseColor(TColor initial, QWidget *parent)
{
    m_openings.append({Kind::Color, BoardFont{}, initial, QString(), parent, {}, {}});
    const std::optional<Answer> answer = takeAnswer(Kind::Color);
    return answer ? std::optional<TColor>(answer->color) : std::nullopt;
}
