#include "tests/TestSupport.h"

#include "platform/FontRecord.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <ostream>

namespace {

using testsupport::readValues;

// The fields of a board font that a record keeps, plus strike-out, which it must drop.
struct FontFields
{
    QString face;
    int points = 0;
    TColor color = clBlack;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0;

    friend bool operator==(const FontFields &, const FontFields &) = default;
};

void PrintTo(const FontFields &fields, std::ostream *out)
{
    *out << '"' << fields.face.toStdString() << "\" " << fields.points << "pt colour " << fields.color
         << (fields.bold ? " bold" : "") << (fields.italic ? " italic" : "") << (fields.underline ? " underline" : "")
         << (fields.strikeOut ? " strike-out" : "") << " charset " << fields.charset;
}

FontFields fieldsOf(const BoardFont &font)
{
    return {font.font.family(), font.font.pointSize(), font.color, font.font.bold(), font.font.italic(),
            font.font.underline(), font.font.strikeOut(), font.charset};
}

BoardFont fontFrom(const FontFields &fields)
{
    BoardFont font;
    font.font.setFamily(fields.face);
    font.font.setPointSize(fields.points);
    font.font.setBold(fields.bold);
    font.font.setItalic(fields.italic);
    font.font.setUnderline(fields.underline);
    font.font.setStrikeOut(fields.strikeOut);
    font.color = fields.color;
    font.charset = fields.charset;
    return font;
}

const QString kFortyCharacterFace = QStringLiteral("Corvane Board Display Face Name Extended");

class FontRecord : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid());
        key = ProgramSettings::settingsRoot() + QStringLiteral("font-record");
        path = SettingsStore::filePathFor(key);
    }

    void writeFile(const QByteArray &bytes)
    {
        testsupport::writeBytes(path, bytes);
    }

    void write(const QList<QPair<QString, BoardFont>> &records)
    {
        const auto store = SettingsStore::open(key, SettingsStore::Mode::Create);
        ASSERT_NE(store, nullptr);
        for (const auto &[prefix, font] : records)
            WriteFontRecord(*store, prefix, font);
        ASSERT_TRUE(store->commit()) << store->errorString().toStdString();
    }

    // The record read over `start`.
    BoardFont read(const QString &prefix, const BoardFont &start)
    {
        BoardFont font = start;
        const auto store = SettingsStore::open(key, SettingsStore::Mode::OpenExisting);
        EXPECT_NE(store, nullptr);
        if (store)
            ReadFontRecord(*store, prefix, font);
        return font;
    }

    testsupport::SettingsSandbox sandbox;
    QString key;
    QString path;
};

// A font that differs in every field from all the fonts the tests store.
const FontFields kStart{QStringLiteral("Initial Face"), 10, clRed, true, true, true, true, 0};

struct RoundTripCase
{
    FontFields written;
    FontFields readBack;
};

const RoundTripCase kRoundTrips[] = {
    {{QStringLiteral("Arial"), 12, clLime, false, false, false, false, 1},
     {QStringLiteral("Arial"), 12, clLime, false, false, false, false, 1}},
    {{QStringLiteral("Arial Narrow"), 9, clBtnFace, true, false, false, false, 204},
     {QStringLiteral("Arial Narrow"), 9, clBtnFace, true, false, false, false, 204}},
    {{QStringLiteral("Times New Roman"), 72, clWhite, false, true, true, false, 204},
     {QStringLiteral("Times New Roman"), 72, clWhite, false, true, true, false, 204}},
    {{QStringLiteral("Courier New"), 1, clBlue, true, true, true, true, 255},
     {QStringLiteral("Courier New"), 1, clBlue, true, true, true, false, 255}},
    {{kFortyCharacterFace, 1638, 0x00123456, false, false, true, true, 186},
     {kFortyCharacterFace.left(31), 1638, 0x00123456, false, false, true, false, 186}},
    {{QStringLiteral("Шрифт, с запятой"), 20, cl3DDkShadow, false, true, false, false, 0},
     {QStringLiteral("Шрифт, с запятой"), 20, cl3DDkShadow, false, true, false, false, 0}},
};

} // namespace

TEST_F(FontRecord, WrittenFontsReadBackWithoutStrikeOutAndWithTheFaceCutTo31Characters)
{
    QList<QPair<QString, BoardFont>> records;
    for (const RoundTripCase &c : kRoundTrips)
        records.append({QStringLiteral("F%1").arg(records.size() + 1), fontFrom(c.written)});
    write(records);
    for (int i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(records[i].first.toStdString());
        EXPECT_EQ(fieldsOf(read(records[i].first, fontFrom(kStart))), kRoundTrips[i].readBack);
    }
}

TEST_F(FontRecord, EveryStyleCombinationReadsBack)
{
    // Bits: bold, italic, underline, strike-out; one record per combination.
    QList<QPair<QString, BoardFont>> records;
    for (int styles = 0; styles < 16; ++styles) {
        const FontFields fields{QStringLiteral("Arial"), 14, clYellow, (styles & 1) != 0, (styles & 2) != 0,
                              (styles & 4) != 0, (styles & 8) != 0, 204};
        records.append({QStringLiteral("S%1").arg(styles), fontFrom(fields)});
    }
    write(records);
    for (int styles = 0; styles < 16; ++styles) {
        SCOPED_TRACE(styles);
        const FontFields back = fieldsOf(read(records[styles].first, fontFrom(kStart)));
        EXPECT_EQ(back.bold, (styles & 1) != 0);
        EXPECT_EQ(back.italic, (styles & 2) != 0);
        EXPECT_EQ(back.underline, (styles & 4) != 0);
        EXPECT_FALSE(back.strikeOut);
    }
}

TEST_F(FontRecord, FileHoldsSevenPlainValuesPerRecord)
{
    const FontFields narrow{QStringLiteral("Arial Narrow"), 9, clBtnFace, true, false, true, true, 204};
    const FontFields plain{QStringLiteral("Arial"), 36, clRed, false, true, false, false, 0};
    write({{QStringLiteral("F3"), fontFrom(narrow)}, {QStringLiteral("F7"), fontFrom(plain)}});
    const QMap<QString, QString> expected = {
        {QStringLiteral("F3n"), QStringLiteral("Arial Narrow")},
        {QStringLiteral("F3s"), QStringLiteral("9")},
        {QStringLiteral("F3c"), QStringLiteral("-16777201")}, // system colour 15, 0xFF00000F as signed
        {QStringLiteral("F3b"), QStringLiteral("1")},
        {QStringLiteral("F3i"), QStringLiteral("0")},
        {QStringLiteral("F3u"), QStringLiteral("1")},
        {QStringLiteral("F3t"), QStringLiteral("204")},
        {QStringLiteral("F7n"), QStringLiteral("Arial")},
        {QStringLiteral("F7s"), QStringLiteral("36")},
        {QStringLiteral("F7c"), QStringLiteral("255")},
        {QStringLiteral("F7b"), QStringLiteral("0")},
        {QStringLiteral("F7i"), QStringLiteral("1")},
        {QStringLiteral("F7u"), QStringLiteral("0")},
        {QStringLiteral("F7t"), QStringLiteral("0")},
    };
    EXPECT_EQ(readValues(path), expected);
}

TEST_F(FontRecord, SizeGivenInPixelsIsStoredInPoints)
{
    BoardFont font = fontFrom({QStringLiteral("Arial"), 12, clBlack, false, false, false, false, 0});
    font.font.setPixelSize(24);
    write({{QStringLiteral("F1"), font}});
    EXPECT_EQ(readValues(path).value(QStringLiteral("F1s")), QStringLiteral("18"));
}

namespace {

// The stored record every break case starts from, as file lines, and what it reads as in full.
const QList<QPair<char, QByteArray>> kStoredRecord = {
    {'n', "Stored Face"}, {'s', "20"}, {'c', "-16777201"}, {'b', "1"}, {'i', "1"}, {'u', "1"}, {'t', "204"},
};

struct BreakCase
{
    const char *name;
    char letter;
    const char *replacement; // null: the value is missing
    FontFields expected;
};

const QString kStored = QStringLiteral("Stored Face");
const QString kInitial = kStart.face;

// Starting from kStart (10 pt, clRed, every style on, charset 0) each case shows which fields
// the record got to before it stopped.
const BreakCase kBreaks[] = {
    // A missing or empty face is no failure: the face stays and the rest is read.
    {"FaceMissing", 'n', nullptr, {kInitial, 20, clBtnFace, true, true, true, false, 204}},
    {"FaceEmpty", 'n', "", {kInitial, 20, clBtnFace, true, true, true, false, 204}},
    {"FaceList", 'n', "Stored, Face", kStart},
    {"SizeMissing", 's', nullptr, {kStored, 10, clRed, true, true, true, true, 0}},
    {"SizeText", 's', "twenty", {kStored, 10, clRed, true, true, true, true, 0}},
    {"ColourMissing", 'c', nullptr, {kStored, 20, clRed, true, true, true, true, 0}},
    {"ColourList", 'c', "1, 2", {kStored, 20, clRed, true, true, true, true, 0}},
    // From here on the style has been cleared before the failure.
    {"BoldMissing", 'b', nullptr, {kStored, 20, clBtnFace, false, false, false, false, 0}},
    {"BoldText", 'b', "yes", {kStored, 20, clBtnFace, false, false, false, false, 0}},
    {"ItalicMissing", 'i', nullptr, {kStored, 20, clBtnFace, true, false, false, false, 0}},
    {"ItalicText", 'i', "true", {kStored, 20, clBtnFace, true, false, false, false, 0}},
    {"UnderlineMissing", 'u', nullptr, {kStored, 20, clBtnFace, true, true, false, false, 0}},
    {"UnderlineFraction", 'u', "1.5", {kStored, 20, clBtnFace, true, true, false, false, 0}},
    {"CharsetMissing", 't', nullptr, {kStored, 20, clBtnFace, true, true, true, false, 0}},
    {"CharsetText", 't', "Cyrillic", {kStored, 20, clBtnFace, true, true, true, false, 0}},
    {"Complete", '-', nullptr, {kStored, 20, clBtnFace, true, true, true, false, 204}},
};

void PrintTo(const BreakCase &c, std::ostream *out)
{
    *out << c.name;
}

class FontRecordBreak : public FontRecord, public ::testing::WithParamInterface<BreakCase>
{
};

QByteArray recordWith(char broken, const char *replacement)
{
    QByteArray text = "[General]\n";
    for (const auto &[letter, value] : kStoredRecord) {
        if (letter != broken)
            text += QByteArray("F5") + letter + '=' + value + '\n';
        else if (replacement)
            text += QByteArray("F5") + letter + '=' + replacement + '\n';
    }
    return text;
}

} // namespace

TEST_P(FontRecordBreak, StopsAtTheFirstFailedRead)
{
    const BreakCase &c = GetParam();
    writeFile(recordWith(c.letter, c.replacement));
    EXPECT_EQ(fieldsOf(read(QStringLiteral("F5"), fontFrom(kStart))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(EachValue, FontRecordBreak, ::testing::ValuesIn(kBreaks),
                         [](const auto &info) { return std::string(info.param.name); });

namespace {

struct ValueCase
{
    const char *name;
    char letter;
    const char *stored;
    FontFields expected;
};

// Values the program never writes but may find: any non-zero style number means on, sizes
// are kept to what a font can take, and the character set is a byte.
const ValueCase kValues[] = {
    {"BoldTwo", 'b', "2", {kStored, 20, clBtnFace, true, true, true, false, 204}},
    {"BoldZero", 'b', "0", {kStored, 20, clBtnFace, false, true, true, false, 204}},
    {"ItalicMinusOne", 'i', "-1", {kStored, 20, clBtnFace, true, true, true, false, 204}},
    {"SizeZero", 's', "0", {kStored, 1, clBtnFace, true, true, true, false, 204}},
    {"SizeNegative", 's', "-12", {kStored, 1, clBtnFace, true, true, true, false, 204}},
    {"SizeHuge", 's', "2147483647", {kStored, 1638, clBtnFace, true, true, true, false, 204}},
    {"CharsetAboveByte", 't', "460", {kStored, 20, clBtnFace, true, true, true, false, 204}},
    {"CharsetNegative", 't', "-1", {kStored, 20, clBtnFace, true, true, true, false, 255}},
    {"ColourRgb", 'c', "16777215", {kStored, 20, clWhite, true, true, true, false, 204}},
    {"FaceOf31", 'n', "Thirty One Characters Face Name", {QStringLiteral("Thirty One Characters Face Name"), 20,
                                                           clBtnFace, true, true, true, false, 204}},
};

void PrintTo(const ValueCase &c, std::ostream *out)
{
    *out << c.name;
}

class FontRecordValue : public FontRecord, public ::testing::WithParamInterface<ValueCase>
{
};

} // namespace

TEST_P(FontRecordValue, ReadsTheValueTheWayTheFontTakesIt)
{
    const ValueCase &c = GetParam();
    QByteArray text = recordWith(c.letter, nullptr);
    text += QByteArray("F5") + c.letter + '=' + c.stored + '\n';
    writeFile(text);
    EXPECT_EQ(fieldsOf(read(QStringLiteral("F5"), fontFrom(kStart))), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Stored, FontRecordValue, ::testing::ValuesIn(kValues),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(FontRecord, OtherRecordsAndAMissingRecordLeaveTheFontAlone)
{
    writeFile(recordWith('-', nullptr));
    EXPECT_EQ(fieldsOf(read(QStringLiteral("F6"), fontFrom(kStart))), kStart);
    EXPECT_EQ(fieldsOf(read(QStringLiteral("F"), fontFrom(kStart))), kStart);
}
