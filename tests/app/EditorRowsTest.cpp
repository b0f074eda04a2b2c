#include "app/Form1.h"
#include "app/Frame1corvane.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "content/RateTable.h"
#include "controls/Label3D.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"
#include "web/RatesFeed.h"
#include "tests/SettingsSandbox.h"

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct Fields
{
    QString code;
    QString name;
    QString buy;
    QString sell;
};

// The rows as the operator window shows them on a first run.
const Fields kDesign[8] = {
    {QStringLiteral("USD"), QStringLiteral("ДОЛЛАР США"), QStringLiteral("0,000"), QStringLiteral("0,000")},
    {QStringLiteral("EUR"), QStringLiteral("ЕВРО"), QStringLiteral("0,000"), QStringLiteral("0,000")},
    {QStringLiteral("YUAN"), QStringLiteral("КИТАЙ ЮАНЬ"), QStringLiteral("0,000"), QStringLiteral("0,000")},
    {QStringLiteral("GOLD"), QStringLiteral("ЗОЛОТО"), QStringLiteral("0,000"), QStringLiteral("0,000")},
    {QStringLiteral("SILVER"), QStringLiteral("СЕРЕБРО"), QStringLiteral("0,000"), QStringLiteral("0,000")},
    {QStringLiteral("PLATINUM"), QStringLiteral("ПЛАТИНА"), QStringLiteral("0,000"), QStringLiteral("0,000")},
    {QStringLiteral("PALLADIUM"), QStringLiteral("ПАЛЛАДИЙ"), QStringLiteral("0,000"), QStringLiteral("0,000")},
    {QString(), QString(), QStringLiteral("0,000"), QStringLiteral("0,000")},
};

// A working office's table.
const Fields kOffice[8] = {
    {QStringLiteral("USD"), QStringLiteral("ДОЛЛАР США"), QStringLiteral("93,10"), QStringLiteral("94,50")},
    {QStringLiteral("EUR"), QStringLiteral("ЕВРО"), QStringLiteral("99,20"), QStringLiteral("101,00")},
    {QStringLiteral("CNY"), QStringLiteral("КИТАЙСКИЙ ЮАНЬ"), QStringLiteral("12,70"), QStringLiteral("13,40")},
    {QStringLiteral("GBP"), QStringLiteral("ФУНТ СТЕРЛИНГОВ"), QStringLiteral("117,30"), QStringLiteral("120,80")},
    {QStringLiteral("CHF"), QStringLiteral("ШВЕЙЦАРСКИЙ ФРАНК"), QStringLiteral("104,60"), QStringLiteral("108,20")},
    {QStringLiteral("JPY"), QStringLiteral("ЯПОНСКАЯ ИЕНА"), QStringLiteral("0,6120"), QStringLiteral("0,6480")},
    {QStringLiteral("TRY"), QStringLiteral("ТУРЕЦКАЯ ЛИРА"), QStringLiteral("2,85"), QStringLiteral("3,10")},
    {QStringLiteral("GOLD"), QStringLiteral("ЗОЛОТО"), QStringLiteral("7450,00"), QStringLiteral("7890,00")},
};

QString tableLine(const Fields &f)
{
    return f.code + QLatin1Char('\t') + f.buy + QLatin1Char('\t') + f.sell + QLatin1Char('\t') + f.name + kCrLf;
}

QString tableOf(const Fields (&rows)[8])
{
    QString text;
    for (const Fields &f : rows)
        text += tableLine(f);
    return text;
}

QString settingsFile()
{
    const QString title = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    return SettingsStore::filePathFor(QStringLiteral("\\Software\\Marrowgate\\") + title);
}

// Types as the operator does, one key at a time. QTest only knows Latin-1 keys, so the
// Cyrillic letters go in as key events that carry their text.
void typeText(QWidget *field, const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() < 128) {
            QTest::keyClick(field, char(ch.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(field, &release);
    }
}

void retype(QLineEdit *field, const QString &text)
{
    field->selectAll();
    if (field->hasSelectedText())
        QTest::keyClick(field, Qt::Key_Backspace);
    typeText(field, text);
}

void paste(QLineEdit *field, const QString &clip)
{
    QApplication::clipboard()->setText(clip);
    field->paste();
}

class EditorRows : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.isValid()); }

    // The exit writes the settings, so the window goes while the sandbox is still there.
    void TearDown() override { form.reset(); }

    // What a new run of the program starts with.
    static void freshProcess() { programSettings().reset(); }

    void start() { form = std::make_unique<TForm1>(); }

    // An orderly exit followed by a new start.
    void restart()
    {
        form.reset();
        freshProcess();
        start();
    }

    static void storeTable(const QVariant &value)
    {
        QSettings file(settingsFile(), QSettings::NativeFormat);
        file.setValue(QStringLiteral("CorvaneFile"), value);
        file.sync();
        ASSERT_EQ(file.status(), QSettings::NoError);
    }

    TFrame1corvane *editor(int i) const { return form->EditorRows[static_cast<size_t>(i)]; }
    const TFrameCorvane::RowLabelSet &board(int i) const { return form->FrameCorvane1->row(i); }
    int shownCount() const { return form->FrameCorvane1->shownRowCount(); }
    bool boardRowShown(int i) const
    {
        const auto &row = board(i);
        const QWidget *frame = form->FrameCorvane1;
        return row.Name->isVisibleTo(frame) && row.NameRus->isVisibleTo(frame) && row.Pok->isVisibleTo(frame)
               && row.Prod->isVisibleTo(frame);
    }
    bool boardRowHidden(int i) const
    {
        const auto &row = board(i);
        return row.Name->isHidden() && row.NameRus->isHidden() && row.Pok->isHidden() && row.Prod->isHidden();
    }
    int tableTop() const { return form->FrameCorvane1->LabelPusto->height() + 1; }
    int tableHeight() const
    {
        return form->FrameCorvane1->PanelName->height() - form->FrameCorvane1->LabelPusto->height();
    }

    void expectBoardShowsEditor(int i) const
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(board(i).Name->caption(), editor(i)->EditK->text());
        EXPECT_EQ(board(i).NameRus->caption(), editor(i)->Editname->text());
        EXPECT_EQ(board(i).Pok->caption(), editor(i)->Edit1->text());
        EXPECT_EQ(board(i).Prod->caption(), editor(i)->Edit2->text());
    }

    void typeRow(int i, const Fields &f)
    {
        retype(editor(i)->EditK, f.code);
        retype(editor(i)->Editname, f.name);
        retype(editor(i)->Edit1, f.buy);
        retype(editor(i)->Edit2, f.sell);
    }

    // The stored text: eight lines of code, buy, sell, name, read without the program's reader.
    void expectTableMatchesEditors() const
    {
        const QString text = programSettings().rateTableText();
        EXPECT_EQ(text.count(QLatin1Char('\t')), 24);
        EXPECT_EQ(text.count(kCrLf), 8);
        EXPECT_EQ(text.count(QLatin1Char('\r')), 8);
        EXPECT_EQ(text.count(QLatin1Char('\n')), 8);
        ASSERT_TRUE(text.endsWith(kCrLf));
        const QStringList lines = text.left(text.size() - 2).split(kCrLf);
        ASSERT_EQ(lines.size(), 8);
        for (int i = 1; i <= 8; ++i) {
            SCOPED_TRACE(i);
            const QStringList fields = lines[i - 1].split(QLatin1Char('\t'));
            ASSERT_EQ(fields.size(), 4);
            EXPECT_EQ(fields[0], editor(i)->EditK->text());
            EXPECT_EQ(fields[1], editor(i)->Edit1->text());
            EXPECT_EQ(fields[2], editor(i)->Edit2->text());
            EXPECT_EQ(fields[3], editor(i)->Editname->text());
        }
    }

    testsupport::SettingsSandbox sandbox;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(EditorRows, FirstRunShowsTheDesignTexts)
{
    start();
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        TFrame1corvane *row = editor(i);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->tag(), i);
        EXPECT_EQ(row->EditK->text(), kDesign[i - 1].code);
        EXPECT_EQ(row->Editname->text(), kDesign[i - 1].name);
        EXPECT_EQ(row->Edit1->text(), QStringLiteral("0,000"));
        EXPECT_EQ(row->Edit2->text(), QStringLiteral("0,000"));
        EXPECT_EQ(row->EditK->maxLength(), 32);
        EXPECT_EQ(row->Editname->maxLength(), 32);
        EXPECT_EQ(row->Edit1->maxLength(), 10);
        EXPECT_EQ(row->Edit2->maxLength(), 10);
        EXPECT_EQ(row->Editname->palette().color(QPalette::Text), i <= 7 ? QColor(Qt::white) : QColor(Qt::yellow));
    }
    // The editors hold the design rows, yet nothing has reached the board or the table.
    EXPECT_EQ(shownCount(), 0);
    for (int i = 1; i <= 8; ++i)
        EXPECT_TRUE(boardRowHidden(i)) << "row " << i;
    EXPECT_TRUE(programSettings().rateTableText().isEmpty());
    EXPECT_TRUE(sandbox.messages.isEmpty()) << sandbox.messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(EditorRows, FieldsStopAtTheirMaximumLength)
{
    start();
    typeText(editor(2)->Edit1, QStringLiteral("123456789012"));
    EXPECT_EQ(editor(2)->Edit1->text(), QStringLiteral("0,00012345"));
    retype(editor(2)->EditK, QString(40, QLatin1Char('W')));
    EXPECT_EQ(editor(2)->EditK->text(), QString(32, QLatin1Char('W')));
    EXPECT_EQ(board(2).Name->caption(), QString(32, QLatin1Char('W')));
    EXPECT_EQ(board(2).Pok->caption(), QStringLiteral("0,00012345"));
}

TEST_F(EditorRows, TabWalksBuySellThenTheNextRow)
{
    start();
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(editor(i)->EditK->focusPolicy() & Qt::TabFocus);
        EXPECT_FALSE(editor(i)->Editname->focusPolicy() & Qt::TabFocus);
    }
    editor(1)->Edit1->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), editor(1)->Edit1);
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), editor(i)->Edit2);
        if (i == 8)
            break;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), editor(i + 1)->Edit1);
    }
    // Backwards the same way.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), editor(8)->Edit1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), editor(7)->Edit2);
}

TEST_F(EditorRows, FirstEditShowsOnlyThatRowAndWritesAllEight)
{
    start();
    QLineEdit *buy = editor(3)->Edit1;
    buy->end(false);
    typeText(buy, QStringLiteral("5"));

    EXPECT_EQ(shownCount(), 1);
    EXPECT_TRUE(boardRowShown(3));
    for (int i : {1, 2, 4, 5, 6, 7, 8}) {
        EXPECT_TRUE(boardRowHidden(i)) << "row " << i;
        EXPECT_TRUE(board(i).Name->caption().isEmpty()) << "row " << i;
    }
    EXPECT_EQ(board(3).Name->caption(), QStringLiteral("YUAN"));
    EXPECT_EQ(board(3).NameRus->caption(), QStringLiteral("КИТАЙ ЮАНЬ"));
    EXPECT_EQ(board(3).Pok->caption(), QStringLiteral("0,0005"));
    EXPECT_EQ(board(3).Prod->caption(), QStringLiteral("0,000"));
    // Alone on the board, row 3 takes the top place and the whole table height.
    EXPECT_EQ(board(3).Name->y(), tableTop());
    EXPECT_GE(board(3).Pok->height(), tableHeight());
    EXPECT_LE(board(3).Pok->height(), tableHeight() + 1);
    // The table already holds every row as the editors show it.
    expectTableMatchesEditors();
    EXPECT_TRUE(programSettings().rateTableText().startsWith(QStringLiteral("USD\t0,000\t0,000\tДОЛЛАР США\r\n")));
}

TEST_F(EditorRows, EveryKeystrokeReachesOnlyItsOwnRow)
{
    storeTable(tableOf(kDesign));
    start();
    ASSERT_EQ(shownCount(), 7);
    QStringList before;
    for (int i = 1; i <= 8; ++i)
        before << board(i).Name->caption() + board(i).NameRus->caption() + board(i).Pok->caption()
                      + board(i).Prod->caption();

    struct Step
    {
        QLineEdit *TFrame1corvane::*field;
        QString typed;
    };
    const Step steps[] = {{&TFrame1corvane::EditK, QStringLiteral("CNY")},
                          {&TFrame1corvane::Editname, QStringLiteral("ЮАНЬ")},
                          {&TFrame1corvane::Edit1, QStringLiteral("12,70")},
                          {&TFrame1corvane::Edit2, QStringLiteral("13,40")}};
    for (const Step &step : steps) {
        QLineEdit *field = editor(3)->*step.field;
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        for (const QChar ch : step.typed) {
            typeText(field, QString(ch));
            // Shown at once, keystroke by keystroke.
            expectBoardShowsEditor(3);
        }
    }
    EXPECT_EQ(board(3).Name->caption(), QStringLiteral("CNY"));
    EXPECT_EQ(board(3).NameRus->caption(), QStringLiteral("ЮАНЬ"));
    EXPECT_EQ(board(3).Pok->caption(), QStringLiteral("12,70"));
    EXPECT_EQ(board(3).Prod->caption(), QStringLiteral("13,40"));
    for (int i : {1, 2, 4, 5, 6, 7, 8}) {
        EXPECT_EQ(board(i).Name->caption() + board(i).NameRus->caption() + board(i).Pok->caption()
                      + board(i).Prod->caption(),
                  before[i - 1])
            << "row " << i;
    }
    EXPECT_EQ(shownCount(), 7);
    expectTableMatchesEditors();
}

TEST_F(EditorRows, DashedOrClearedCodeHidesTheRowAndTheOthersCloseUp)
{
    storeTable(tableOf(kDesign));
    start();
    ASSERT_EQ(shownCount(), 7);
    const int sevenPitchTop2 = board(2).Name->y();
    ASSERT_GT(sevenPitchTop2, tableTop());

    QLineEdit *code = editor(1)->EditK;
    code->home(false);
    typeText(code, QStringLiteral("-"));
    EXPECT_EQ(code->text(), QStringLiteral("-USD"));
    EXPECT_EQ(board(1).Name->caption(), QStringLiteral("-USD"));
    EXPECT_TRUE(boardRowHidden(1));
    EXPECT_EQ(shownCount(), 6);
    // Rows 2 to 7 fill the table from its top at a pitch of a sixth of it.
    EXPECT_EQ(board(2).Name->y(), tableTop());
    for (int i = 3; i <= 7; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(boardRowShown(i));
        EXPECT_NEAR(board(i).Name->y() - board(i - 1).Name->y(), tableHeight() / 6.0, 1.0);
        EXPECT_EQ(board(i).Pok->y(), board(i).Name->y());
    }
    EXPECT_TRUE(programSettings().rateTableText().startsWith(QStringLiteral("-USD\t")));
    expectTableMatchesEditors();

    // Clearing a code hides its row the same way.
    QLineEdit *silver = editor(5)->EditK;
    silver->selectAll();
    QTest::keyClick(silver, Qt::Key_Delete);
    EXPECT_TRUE(silver->text().isEmpty());
    EXPECT_TRUE(boardRowHidden(5));
    EXPECT_EQ(shownCount(), 5);
    EXPECT_EQ(board(6).Name->y(), board(4).Name->y() + qRound(tableHeight() / 5.0)) << "PLATINUM follows GOLD";
    EXPECT_EQ(programSettings().rateTableText().split(kCrLf)[4], QStringLiteral("\t0,000\t0,000\tСЕРЕБРО"));
    expectTableMatchesEditors();

    // Taking the dash away brings USD back on top.
    code->home(false);
    QTest::keyClick(code, Qt::Key_Delete);
    EXPECT_TRUE(boardRowShown(1));
    EXPECT_EQ(board(1).Name->y(), tableTop());
    EXPECT_EQ(shownCount(), 6);
}

TEST_F(EditorRows, CodeInTheEmptyLastRowAddsALineAndRespreadsAll)
{
    storeTable(tableOf(kDesign));
    start();
    ASSERT_EQ(shownCount(), 7);
    ASSERT_TRUE(boardRowHidden(8));
    const int sevenPitchBuyHeight = board(1).Pok->height();
    const int lastTopBefore = board(7).Name->y();

    typeText(editor(8)->EditK, QStringLiteral("KZT"));
    EXPECT_EQ(shownCount(), 8);
    EXPECT_TRUE(boardRowShown(8));
    EXPECT_GT(board(8).Name->y(), board(7).Name->y());
    EXPECT_LT(board(7).Name->y(), lastTopBefore);
    EXPECT_LT(board(1).Pok->height(), sevenPitchBuyHeight);
    EXPECT_EQ(board(1).Name->y(), tableTop());
    for (int i = 2; i <= 8; ++i)
        EXPECT_NEAR(board(i).Name->y() - board(i - 1).Name->y(), tableHeight() / 8.0, 1.0) << "row " << i;
    // Every buy figure is drawn at one size and every sell figure at one size.
    for (int i = 2; i <= 8; ++i) {
        EXPECT_EQ(board(i).Pok->fontSize(), board(1).Pok->fontSize());
        EXPECT_EQ(board(i).Prod->fontSize(), board(1).Prod->fontSize());
    }
    expectTableMatchesEditors();
}

TEST_F(EditorRows, TableIsAlwaysEightLinesOfFourFields)
{
    start();
    struct Edit
    {
        int row;
        QLineEdit *TFrame1corvane::*field;
        QString text;
        bool pasted;
    };
    const Edit edits[] = {
        {8, &TFrame1corvane::Edit2, QStringLiteral("1"), false},
        {8, &TFrame1corvane::Edit2, QString(), false},
        {1, &TFrame1corvane::EditK, QStringLiteral("a\tb"), true},
        {2, &TFrame1corvane::Editname, QStringLiteral("x\r\ny\rz\n"), true},
        {4, &TFrame1corvane::Edit1, QStringLiteral("\t\t\t\t\t\t\t\t\t\t\t\t"), true},
        {6, &TFrame1corvane::EditK, QString(32, QChar(0x0416)), false},
        {7, &TFrame1corvane::Editname, QString(), false},
        {3, &TFrame1corvane::Edit2, QStringLiteral(";,\"'\\"), false},
    };
    for (const Edit &edit : edits) {
        SCOPED_TRACE(edit.text.toStdString());
        QLineEdit *field = editor(edit.row)->*edit.field;
        if (edit.pasted) {
            field->selectAll();
            paste(field, edit.text);
        } else {
            retype(field, edit.text);
        }
        expectTableMatchesEditors();
        expectBoardShowsEditor(edit.row);
    }
}

TEST_F(EditorRows, PastedSeparatorsBecomeSpacesAndSurviveARestart)
{
    storeTable(tableOf(kOffice));
    start();
    QLineEdit *name = editor(2)->Editname;
    name->selectAll();
    paste(name, QStringLiteral("a\tb\r\nc"));
    EXPECT_EQ(name->text(), QStringLiteral("a b  c"));
    EXPECT_EQ(board(2).NameRus->caption(), QStringLiteral("a b  c"));
    QLineEdit *code = editor(2)->EditK;
    code->end(false);
    paste(code, QStringLiteral("\t"));
    EXPECT_EQ(code->text(), QStringLiteral("EUR "));
    EXPECT_EQ(board(2).Name->caption(), QStringLiteral("EUR "));
    expectTableMatchesEditors();

    // What the operator saw before the exit is what comes back.
    QStringList editors;
    QStringList captions;
    for (int i = 1; i <= 8; ++i) {
        const TFrame1corvane *row = editor(i);
        editors << row->EditK->text() << row->Editname->text() << row->Edit1->text() << row->Edit2->text();
        captions << board(i).Name->caption() << board(i).NameRus->caption() << board(i).Pok->caption()
                 << board(i).Prod->caption();
    }
    const int shownBefore = shownCount();
    restart();
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        const TFrame1corvane *row = editor(i);
        const int k = (i - 1) * 4;
        EXPECT_EQ(row->EditK->text(), editors[k]);
        EXPECT_EQ(row->Editname->text(), editors[k + 1]);
        EXPECT_EQ(row->Edit1->text(), editors[k + 2]);
        EXPECT_EQ(row->Edit2->text(), editors[k + 3]);
        EXPECT_EQ(board(i).Name->caption(), captions[k]);
        EXPECT_EQ(board(i).NameRus->caption(), captions[k + 1]);
        EXPECT_EQ(board(i).Pok->caption(), captions[k + 2]);
        EXPECT_EQ(board(i).Prod->caption(), captions[k + 3]);
    }
    EXPECT_EQ(shownCount(), shownBefore);
    EXPECT_EQ(board(2).NameRus->caption(), QStringLiteral("a b  c"));
    EXPECT_TRUE(sandbox.messages.isEmpty()) << sandbox.messages.join(QLatin1Char('\n')).toStdString();
}

// A stored table of two lines: the board, the editors, the web feed and the file show the
// same two currencies on the start, after an edit and after a restart. The other slots are
// empty in the editors, not the design texts of a first run.
TEST_F(EditorRows, AStoredTableIsTheWholeTableEverywhere)
{
    storeTable(tableLine(kOffice[0]) + tableLine(kOffice[1]));
    const QStringList both{QStringLiteral("USD"), QStringLiteral("EUR")};
    const auto expectAgreement = [&](const char *step) {
        SCOPED_TRACE(step);
        QStringList onBoard;
        QStringList inEditors;
        for (int i = 1; i <= 8; ++i) {
            if (boardRowShown(i))
                onBoard << board(i).Name->caption();
            if (isShownRow(editor(i)->EditK->text()))
                inEditors << editor(i)->EditK->text();
        }
        QStringList inFeed;
        const QJsonArray feed = QJsonDocument::fromJson(ratesJson(parseRateTable(programSettings().rateTableText()), {}))
                                    .object()
                                    .value(QStringLiteral("rates"))
                                    .toArray();
        for (const QJsonValue &rate : feed)
            inFeed << rate.toObject().value(QStringLiteral("code")).toString();
        EXPECT_EQ(onBoard, both);
        EXPECT_EQ(inEditors, both);
        EXPECT_EQ(inFeed, both);
        EXPECT_EQ(shownCount(), 2);
        for (int i = 3; i <= 8; ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(editor(i)->EditK->text(), QString());
            EXPECT_EQ(editor(i)->Edit1->text(), QString());
            EXPECT_EQ(editor(i)->Edit2->text(), QString());
            EXPECT_EQ(editor(i)->Editname->text(), QString());
        }
    };

    start();
    expectAgreement("start");
    retype(editor(1)->Edit1, QStringLiteral("93,15"));
    EXPECT_EQ(board(1).Pok->caption(), QStringLiteral("93,15"));
    expectAgreement("edit");
    expectTableMatchesEditors();
    restart();
    expectAgreement("restart");
    EXPECT_EQ(editor(1)->Edit1->text(), QStringLiteral("93,15"));
    QSettings file(settingsFile(), QSettings::NativeFormat);
    QStringList inFile;
    for (const RateRow &row : parseRateTable(file.value(QStringLiteral("CorvaneFile")).toString()))
        if (isShownRow(row.code))
            inFile << row.code;
    EXPECT_EQ(inFile, both);
}

TEST_F(EditorRows, EditsBeforeTheSettingsAreLoadedChangeNothing)
{
    storeTable(tableOf(kOffice));
    start();
    const QString table = programSettings().rateTableText();
    ASSERT_EQ(shownCount(), 8);
    programSettings().setSettingsLoaded(false);

    retype(editor(2)->EditK, QStringLiteral("-EUR"));
    retype(editor(5)->Edit1, QStringLiteral("1"));
    typeText(editor(8)->Editname, QStringLiteral("x"));

    EXPECT_EQ(programSettings().rateTableText(), table);
    EXPECT_EQ(shownCount(), 8);
    EXPECT_EQ(board(2).Name->caption(), QStringLiteral("EUR"));
    EXPECT_TRUE(boardRowShown(2));
    EXPECT_EQ(board(5).Pok->caption(), QStringLiteral("104,60"));
    EXPECT_EQ(board(8).NameRus->caption(), QStringLiteral("ЗОЛОТО"));
    programSettings().setSettingsLoaded();
}

TEST_F(EditorRows, OfficeTableComesBackAfterARestart)
{
    start();
    for (int i = 1; i <= 8; ++i)
        typeRow(i, kOffice[i - 1]);
    EXPECT_EQ(programSettings().rateTableText(), tableOf(kOffice));
    EXPECT_EQ(shownCount(), 8);

    restart();
    EXPECT_EQ(shownCount(), 8);
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        const Fields &f = kOffice[i - 1];
        EXPECT_EQ(editor(i)->EditK->text(), f.code);
        EXPECT_EQ(editor(i)->Editname->text(), f.name);
        EXPECT_EQ(editor(i)->Edit1->text(), f.buy);
        EXPECT_EQ(editor(i)->Edit2->text(), f.sell);
        expectBoardShowsEditor(i);
        EXPECT_TRUE(boardRowShown(i));
        EXPECT_EQ(board(i).Pok->fontSize(), board(1).Pok->fontSize());
        EXPECT_EQ(board(i).Prod->fontSize(), board(1).Prod->fontSize());
        if (i > 1) {
            EXPECT_GT(board(i).Name->y(), board(i - 1).Name->y());
        }
    }
    // The loaded table is not rewritten by the load itself.
    EXPECT_EQ(programSettings().rateTableText(), tableOf(kOffice));
    EXPECT_TRUE(sandbox.messages.isEmpty()) << sandbox.messages.join(QLatin1Char('\n')).toStdString();
}

namespace {

QString randomText(int length, quint32 seed, bool anyCodePoint)
{
    QRandomGenerator random(seed);
    QString text;
    text.reserve(length);
    for (int i = 0; i < length; ++i)
        text += anyCodePoint ? QChar(char16_t(random.bounded(0x10000))) : QChar(char16_t(random.bounded(256)));
    return text;
}

QString manyLines(int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("C%1\t%1,00\t%1,50\tИМЯ %1").arg(i) + kCrLf;
    return text;
}

QString manyFields(int lines, int fields)
{
    QString text;
    for (int i = 0; i < lines; ++i) {
        QStringList line;
        for (int f = 0; f < fields; ++f)
            line << QStringLiteral("F%1").arg(f);
        text += line.join(QLatin1Char('\t')) + kCrLf;
    }
    return text;
}

enum class BadKind { ManyLines, NoLineEnd, HugeField, ByteGarbage, CodePointGarbage, Bytes, List, ThousandLines,
                     FiftyFields };

struct BadTable
{
    const char *name;
    BadKind kind;
};

// Test names and failure messages show the case by its name.
void PrintTo(const BadTable &table, std::ostream *out)
{
    *out << table.name;
}

QVariant badValue(BadKind kind)
{
    const int tenMegabytes = 10 * 1024 * 1024;
    switch (kind) {
    case BadKind::ManyLines:
        return manyLines(tenMegabytes / 24);
    case BadKind::NoLineEnd:
        return QString(tenMegabytes, QLatin1Char('7'));
    case BadKind::HugeField:
        return QStringLiteral("USD\t") + QString(tenMegabytes, QLatin1Char('7')) + QStringLiteral("\t1\tДОЛЛАР США\r\n");
    case BadKind::ByteGarbage:
        return randomText(64 * 1024, 1, false);
    case BadKind::CodePointGarbage:
        return randomText(64 * 1024, 2, true);
    case BadKind::Bytes:
        return randomText(4096, 3, false).toLatin1();
    case BadKind::List:
        return QStringList{QStringLiteral("USD\t1\t2\tx"), QStringLiteral("EUR")};
    case BadKind::ThousandLines:
        return manyLines(1000);
    case BadKind::FiftyFields:
        return manyFields(20, 50);
    }
    return {};
}

class BadStoredTable : public EditorRows, public ::testing::WithParamInterface<BadTable>
{
};

} // namespace

TEST_P(BadStoredTable, DoesNoHarmAtStartUp)
{
    storeTable(badValue(GetParam().kind));
    start();
    EXPECT_LE(shownCount(), 8);
    EXPECT_GE(shownCount(), 0);
    int shown = 0;
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        shown += boardRowShown(i) ? 1 : 0;
        EXPECT_LE(editor(i)->EditK->text().size(), 32);
        EXPECT_LE(editor(i)->Edit1->text().size(), 10);
        for (const QString &text : {editor(i)->EditK->text(), editor(i)->Editname->text(), editor(i)->Edit1->text(),
                                    editor(i)->Edit2->text()}) {
            EXPECT_FALSE(text.contains(QLatin1Char('\t')) || text.contains(QLatin1Char('\r'))
                         || text.contains(QLatin1Char('\n')));
        }
    }
    EXPECT_EQ(shown, shownCount());
    // The window still works: an edit gives a well-formed table.
    retype(editor(1)->Edit1, QStringLiteral("93,10"));
    expectTableMatchesEditors();
}

INSTANTIATE_TEST_SUITE_P(CorvaneFile, BadStoredTable,
                         ::testing::Values(BadTable{"TenMegabytesOfLines", BadKind::ManyLines},
                                           BadTable{"TenMegabytesWithoutLineEnd", BadKind::NoLineEnd},
                                           BadTable{"ByteGarbage", BadKind::ByteGarbage},
                                           BadTable{"StoredAsBytes", BadKind::Bytes},
                                           BadTable{"StoredAsList", BadKind::List},
                                           BadTable{"ThousandLines", BadKind::ThousandLines},
                                           BadTable{"FiftyFieldsALine", BadKind::FiftyFields}),
                         [](const ::testing::TestParamInfo<BadTable> &info) { return std::string(info.param.name); });

// A stored field longer than its editor allows is cut to the editor's limit on the board too:
// otherwise start-up would fit fonts to megabytes of text and board, editor and table would
// disagree until the row is edited.
INSTANTIATE_TEST_SUITE_P(LongFields, BadStoredTable,
                         ::testing::Values(BadTable{"TenMegabytesInOneField", BadKind::HugeField},
                                           BadTable{"CodePointGarbage", BadKind::CodePointGarbage}),
                         [](const ::testing::TestParamInfo<BadTable> &info) { return std::string(info.param.name); });

TEST_F(EditorRows, StoredFieldsLongerThanTheEditorsShowTheSameOnBoardAndEditor)
{
    Fields rows[8] = {kOffice[0], kOffice[1], kOffice[2], kOffice[3], kOffice[4], kOffice[5], kOffice[6], kOffice[7]};
    rows[0].code = QString(40, QLatin1Char('C'));
    rows[0].buy = QStringLiteral("93,1000000000001");
    rows[1].name = QString(33, QChar(0x0416));
    storeTable(tableOf(rows));
    start();
    for (int i = 1; i <= 8; ++i)
        expectBoardShowsEditor(i);
    // Editing another row rewrites the table from the editors; the board must still agree.
    retype(editor(5)->Edit1, QStringLiteral("104,70"));
    expectTableMatchesEditors();
    for (int i = 1; i <= 8; ++i)
        expectBoardShowsEditor(i);
}

TEST_F(EditorRows, FirstRunRowsAllComeBackOnlyIfSomethingWasEdited)
{
    start();
    restart();
    // Nothing was edited: the empty table was stored again and the board stays empty.
    EXPECT_EQ(shownCount(), 0);
    EXPECT_TRUE(programSettings().rateTableText().isEmpty());

    typeText(editor(1)->Edit1, QStringLiteral("1"));
    ASSERT_EQ(shownCount(), 1);
    restart();
    EXPECT_EQ(shownCount(), 7);
    for (int i = 1; i <= 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(editor(i)->EditK->text(), kDesign[i - 1].code);
        EXPECT_EQ(editor(i)->Editname->text(), kDesign[i - 1].name);
        EXPECT_EQ(editor(i)->Edit1->text(), i == 1 ? QStringLiteral("0,0001") : QStringLiteral("0,000"));
        expectBoardShowsEditor(i);
        EXPECT_EQ(boardRowShown(i), i <= 7);
    }
}
