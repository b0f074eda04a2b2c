#include "content/CodePage1251.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

QByteArray everyByte()
{
    QByteArray bytes(256, Qt::Uninitialized);
    for (int i = 0; i < 256; ++i)
        bytes[i] = char(i);
    return bytes;
}

TEST(CodePage1251Test, EveryByteRoundTripsThroughItsOwnCharacter)
{
    const QString text = CodePage1251::decode(everyByte());
    ASSERT_EQ(text.size(), 256);
    // Two bytes sharing a character would lose one of them on the way back.
    EXPECT_EQ(QSet<QChar>(text.begin(), text.end()).size(), 256);
    EXPECT_TRUE(CodePage1251::canEncode(text));
    bool lossless = false;
    EXPECT_EQ(CodePage1251::encode(text, &lossless), everyByte());
    EXPECT_TRUE(lossless);
}

TEST(CodePage1251Test, AsciiKeepsItsCodes)
{
    const QByteArray bytes = everyByte().left(128);
    EXPECT_EQ(CodePage1251::decode(bytes), QString::fromLatin1(bytes));
}

struct KnownByte
{
    unsigned char byte;
    char16_t character;
};

class CodePage1251KnownTest : public ::testing::TestWithParam<KnownByte>
{
};

TEST_P(CodePage1251KnownTest, ByteAndCharacterMatch)
{
    const KnownByte known = GetParam();
    const QByteArray byte(1, char(known.byte));
    EXPECT_EQ(CodePage1251::decode(byte), QString(QChar(known.character)));
    EXPECT_EQ(CodePage1251::encode(QString(QChar(known.character))), byte);
}

INSTANTIATE_TEST_SUITE_P(Letters, CodePage1251KnownTest,
                         ::testing::Values(KnownByte{0xC0, u'А'}, KnownByte{0xDF, u'Я'}, KnownByte{0xE0, u'а'},
                                           KnownByte{0xFF, u'я'}, KnownByte{0xA8, u'Ё'}, KnownByte{0xB8, u'ё'},
                                           KnownByte{0xB9, u'№'}, KnownByte{0x88, u'€'}, KnownByte{0x80, u'Ђ'},
                                           KnownByte{0xA5, u'Ґ'}, KnownByte{0xB4, u'ґ'}, KnownByte{0xB2, u'І'},
                                           KnownByte{0xAA, u'Є'}, KnownByte{0xBF, u'ї'}, KnownByte{0x96, u'–'},
                                           KnownByte{0x97, u'—'}, KnownByte{0x99, u'™'}, KnownByte{0xAB, u'«'},
                                           KnownByte{0xBB, u'»'}, KnownByte{0xA0, u'\u00A0'},
                                           KnownByte{0x98, u'\u0098'}, KnownByte{0x41, u'A'}));

struct Unwritable
{
    const char16_t *text;
    const char *bytes;
};

class CodePage1251UnwritableTest : public ::testing::TestWithParam<Unwritable>
{
};

// Each character without a byte becomes one '?', its neighbours are kept.
TEST_P(CodePage1251UnwritableTest, BecomesQuestionMark)
{
    const QString text = QStringView(GetParam().text).toString();
    bool lossless = true;
    EXPECT_EQ(CodePage1251::encode(text, &lossless), QByteArray(GetParam().bytes));
    EXPECT_FALSE(lossless);
    EXPECT_FALSE(CodePage1251::canEncode(text));
}

INSTANTIATE_TEST_SUITE_P(Characters, CodePage1251UnwritableTest,
                         ::testing::Values(Unwritable{u"¥", "?"}, Unwritable{u"₺5", "?5"},
                                           Unwritable{u"я\u00E9я", "\xFF?\xFF"}, Unwritable{u"a\u0500", "a?"},
                                           Unwritable{u"\u0081", "?"}, Unwritable{u"\u2015", "?"},
                                           Unwritable{u"x\U0001F600y", "x?y"}, Unwritable{u"\xD800z", "?z"},
                                           Unwritable{u"z\xDC00\xDC00", "z??"}, Unwritable{u"\uFFFD", "?"}));

TEST(CodePage1251Test, WritableTextIsLossless)
{
    const QString text = QStringLiteral("Курс €: 98,50 — «№ 1»");
    bool lossless = false;
    const QByteArray bytes = CodePage1251::encode(text, &lossless);
    EXPECT_TRUE(lossless);
    EXPECT_TRUE(CodePage1251::canEncode(text));
    EXPECT_EQ(bytes.size(), text.size());
    EXPECT_EQ(CodePage1251::decode(bytes), text);
}

TEST(CodePage1251Test, EmptyStaysEmpty)
{
    EXPECT_TRUE(CodePage1251::decode(QByteArrayView()).isEmpty());
    bool lossless = false;
    EXPECT_TRUE(CodePage1251::encode(QStringView(), &lossless).isEmpty());
    EXPECT_TRUE(lossless);
    EXPECT_TRUE(CodePage1251::canEncode(QStringView()));
}

// Every UTF-16 unit either has its own byte that decodes back to it or has none at all:
// exactly 256 of them are writable.
TEST(CodePage1251Test, ExactlyTheCodePageCharactersAreWritable)
{
    int writable = 0;
    for (int unit = 0; unit <= 0xFFFF; ++unit) {
        const QChar c(static_cast<char16_t>(unit));
        if (!CodePage1251::canEncode(QStringView(&c, 1)))
            continue;
        ++writable;
        ASSERT_EQ(CodePage1251::decode(CodePage1251::encode(QStringView(&c, 1))), QString(c)) << unit;
    }
    EXPECT_EQ(writable, 256);
}

} // namespace
