// Whatever way the operator reaches a state, both boards draw their captions at the sizes
// a fresh start in that state gives them: the fitting may not depend on typing speed, on
// the order of the changes or on the sizes the captions had before.

#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "app/TitleTab.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "controls/Label3D.h"
#include "desktop/HistoryComboBox.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <variant>
#include <vector>

namespace {

// A cashier's pace: the event loop runs this long between two keys.
constexpr int kKeyPauseMs = 150;

struct TypeTitle
{
    const char *text;
};
struct SetField
{
    int tag; // 0..5, "Высота верхнего титула" first
    int value;
};
struct SetAllFields
{
    int value;
};
// The arrow key held down on a field: the keyboard's repeats queue up while the boards are
// laid out for the first ones.
struct HoldUpArrow
{
    int tag;
    int repeats;
};
struct PressReset
{
};
struct TypeRow
{
    int slot; // 1..8
    const char *code;
    const char *name;
    const char *buy;
    const char *sell;
};
using Step = std::variant<TypeTitle, SetField, SetAllFields, HoldUpArrow, PressReset, TypeRow>;

struct Scenario
{
    const char *name;
    std::vector<Step> steps;
};

struct DrawnBoard
{
    bool shown;
    std::vector<testsupport::DrawnCaption> captions;
    // Each shown caption's label drawn on its own, in the order of the captions.
    std::vector<QImage> pictures;
};

std::vector<QImage> captionPictures(TFrameCorvane *board)
{
    std::vector<QImage> pictures;
    for (TLabel3D *label : board->findChildren<TLabel3D *>()) {
        if (label->isVisibleTo(board))
            pictures.push_back(label->size().isEmpty() ? QImage() : testsupport::renderWidget(label));
    }
    return pictures;
}

class CaptionFit : public ::testing::TestWithParam<Scenario>
{
protected:
    // The windows as the program shows them, with the clock stopped.
    void showStarted()
    {
        TForm1 &form = *windows.form;
        // Both starts read one clock, so the date cells agree to the minute.
        form.setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 41)); });
        form.TimerClockTimer();
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    // Three rates on the board and the rest of the editor rows empty, so that what the
    // editor stores after an edit is what the board shows.
    static void storeRateTable()
    {
        QString table = QStringLiteral("USD\t93,10\t94,50\tДОЛЛАР США\r\nEUR\t101,2\t103,75\tЕВРО\r\n"
                                       "CNY\t12\t13,1\tЮАНЬ\r\n");
        for (int slot = 4; slot <= 8; ++slot)
            table += QStringLiteral("\t\t\t\r\n");
        QSettings file(SettingsStore::filePathFor(ProgramSettings::settingsRoot() + TForm1::programTitle()),
                       QSettings::NativeFormat);
        file.setValue(QStringLiteral("CorvaneFile"), table);
        file.sync();
        ASSERT_EQ(file.status(), QSettings::NoError);
    }

    TForm1 &form() const { return *windows.form; }
    QList<TFrameCorvane *> boards() const { return {windows.form->FrameCorvane1, windows.tv->FrameCorvane1}; }

    void showPage(const QString &caption)
    {
        QTabWidget *pages = form().PageControl1;
        for (int i = 0; i < pages->count(); ++i) {
            if (pages->tabText(i) == caption) {
                QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(i).center());
                ASSERT_EQ(pages->currentIndex(), i);
                return;
            }
        }
        FAIL() << "no page " << caption.toStdString();
    }

    // Replaces what the field holds by typed keys, the event loop running between them.
    void typeInto(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        for (const QChar character : text) {
            // QTest knows only Latin-1 keys; other letters come as key events carrying their
            // text, as a keyboard of any layout sends them.
            if (character.unicode() < 128)
                QTest::keyClick(field, char(character.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(character), Qt::NoModifier);
            QTest::qWait(kKeyPauseMs);
        }
    }

    void perform(const Step &step)
    {
        if (const auto *title = std::get_if<TypeTitle>(&step)) {
            showPage(QStringLiteral("Настройки"));
            typeInto(form().TitleTab->eTextList->lineEdit(), QString::fromUtf8(title->text));
        } else if (const auto *field = std::get_if<SetField>(&step)) {
            showPage(QStringLiteral("Поля"));
            typeInto(form().seProc[size_t(field->tag)], QString::number(field->value));
        } else if (const auto *all = std::get_if<SetAllFields>(&step)) {
            showPage(QStringLiteral("Поля"));
            for (QSpinBox *spin : form().seProc)
                typeInto(spin, QString::number(all->value));
        } else if (const auto *held = std::get_if<HoldUpArrow>(&step)) {
            showPage(QStringLiteral("Поля"));
            QSpinBox *spin = form().seProc[size_t(held->tag)];
            spin->setFocus();
            for (int i = 0; i < held->repeats; ++i)
                QCoreApplication::postEvent(spin, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier,
                                                                QString(), /*autorep=*/i > 0));
            QCoreApplication::postEvent(spin, new QKeyEvent(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier));
            QTest::qWait(kKeyPauseMs);
            ASSERT_EQ(spin->value(), programSettings().proportions().at(held->tag));
        } else if (const auto *row = std::get_if<TypeRow>(&step)) {
            showPage(QStringLiteral("Курс"));
            const TFrame1corvane *editor = form().EditorRows[size_t(row->slot)];
            typeInto(editor->EditK, QString::fromUtf8(row->code));
            typeInto(editor->Editname, QString::fromUtf8(row->name));
            typeInto(editor->Edit1, QString::fromUtf8(row->buy));
            typeInto(editor->Edit2, QString::fromUtf8(row->sell));
        } else {
            showPage(QStringLiteral("Поля"));
            QTest::mouseClick(form().bDefProc, Qt::LeftButton);
        }
    }

    std::vector<DrawnBoard> drawnBoards() const
    {
        std::vector<DrawnBoard> drawn;
        for (TFrameCorvane *board : boards())
            drawn.push_back({board->isVisible(), testsupport::drawnCaptions(board), captionPictures(board)});
        return drawn;
    }

    testsupport::ProgramWindows windows;
};

TEST_P(CaptionFit, EveryCaptionHasTheSizeOfAFreshStartInTheSameState)
{
    const Scenario &scenario = GetParam();
    // After each step: the steps so far on a running program, then a fresh start from the
    // settings it leaves.
    for (size_t done = 1; done <= scenario.steps.size(); ++done) {
        SCOPED_TRACE("after step " + std::to_string(done));
        testsupport::SettingsSandbox sandbox;
        ASSERT_TRUE(sandbox.isValid());
        storeRateTable();
        windows.start();
        showStarted();
        QTest::mouseClick(form().btn_TV_On, Qt::LeftButton);
        for (size_t i = 0; i < done; ++i)
            perform(scenario.steps[i]);
        const std::vector<DrawnBoard> reached = drawnBoards();

        windows.restart();
        showStarted();
        const std::vector<DrawnBoard> fresh = drawnBoards();
        windows.stop();

        for (size_t b = 0; b < fresh.size(); ++b) {
            SCOPED_TRACE(b == 0 ? "preview" : "TV");
            // A TV window that is not shown (one monitor) is laid out when it shows.
            ASSERT_EQ(reached[b].shown, fresh[b].shown);
            if (!fresh[b].shown)
                continue;
            EXPECT_TRUE(reached[b].captions == fresh[b].captions)
                << testsupport::captionDifferences(reached[b].captions, fresh[b].captions);
            ASSERT_EQ(reached[b].pictures.size(), fresh[b].pictures.size());
            for (size_t i = 0; i < fresh[b].pictures.size(); ++i)
                EXPECT_TRUE(testsupport::drawnAlike(reached[b].pictures[i], fresh[b].pictures[i]))
                    << fresh[b].captions[i].label.toStdString();
        }
        EXPECT_TRUE(sandbox.messages.isEmpty()) << sandbox.messages.join(QLatin1Char('\n')).toStdString();
    }
}

const Scenario kScenarios[] = {
    {"CyrillicTitle", {TypeTitle{"ОБМЕН ВАЛЮТ 24"}}},
    {"LatinTitleThenAShortOne", {TypeTitle{"EXCHANGE OFFICE 24"}, TypeTitle{"КАССА"}}},
    {"NamesWideThenReset", {SetField{4, 50}, PressReset{}}},
    {"NamesWideThenNarrower", {SetField{4, 50}, SetField{4, 35}}},
    {"EveryFieldZeroThenReset", {SetAllFields{0}, PressReset{}}},
    {"RatesThenNamesWideThenReset", {TypeRow{4, "GBP", "ФУНТ", "118,2", "121"}, SetField{4, 50}, PressReset{}}},
    {"NamesHeldWider", {SetField{4, 20}, HoldUpArrow{4, 12}}},
    {"DateCellAndHeadersThenATitle", {SetField{3, 50}, SetField{5, 25}, SetField{0, 30}, TypeTitle{"КАССА"}}},
};

INSTANTIATE_TEST_SUITE_P(Operator, CaptionFit, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario> &info) { return info.param.name; });

} // namespace
