#include "ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace {

const char *kindName(ScriptedDialogs::Kind kind)
{
    return kind == ScriptedDialogs::Kind::Font ? "font" : "colour";
}

} // namespace

void ScriptedDialogs::answerFont(const BoardFont &font)
{
    m_answers.enqueue({Kind::Font, font, clBlack});
}

void ScriptedDialogs::answerColor(TColor color)
{
    m_answers.enqueue({Kind::Color, BoardFont{}, color});
}

void ScriptedDialogs::cancel()
{
    m_answers.enqueue({std::nullopt, BoardFont{}, clBlack});
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
    m_openings.append({Kind::Font, initial, clBlack, parent});
    const std::optional<Answer> answer = takeAnswer(Kind::Font);
    return answer ? std::optional<BoardFont>(answer->font) : std::nullopt;
}

std::optional<TColor> ScriptedDialogs::chooseColor(TColor initial, QWidget *parent)
{
    m_openings.append({Kind::Color, BoardFont{}, initial, parent});
    const std::optional<Answer> answer = takeAnswer(Kind::Color);
    return answer ? std::optional<TColor>(answer->color) : std::nullopt;
}
