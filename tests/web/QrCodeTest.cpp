// The QR code of the web board's address: what libqrencode gives, read back module by module
// the way a phone's reader finds its way around a symbol.

#include "web/QrCode.h"

#include <QColor>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

int sideOfVersion(int version)
{
    return 21 + 4 * (version - 1);
}

// The finder pattern at (left, top): a dark 7x7 ring, a light ring, a dark 3x3 middle, and
// a light separator around it where the symbol goes on.
bool isFinderAt(const QrCode &code, int left, int top)
{
    for (int dy = -1; dy <= 7; ++dy) {
        for (int dx = -1; dx <= 7; ++dx) {
            const int x = left + dx;
            const int y = top + dy;
            if (x < 0 || y < 0 || x >= code.side || y >= code.side)
                continue;
            const int ring = std::max(std::abs(dx - 3), std::abs(dy - 3));
            const bool dark = ring != 2 && ring != 4;
            if (code.isDark(x, y) != dark)
                return false;
        }
    }
    return true;
}

// The 15 format bits, from the copy around the top left finder or from the one split between
// the other two.
int formatBits(const QrCode &code, bool firstCopy)
{
    int bits = 0;
    for (int i = 0; i < 15; ++i) {
        int x = 8;
        int y = 0;
        if (firstCopy) {
            if (i <= 5)
                y = i;
            else if (i <= 7)
                y = i + 1;
            else {
                y = 8;
                x = i == 8 ? 7 : 14 - i;
            }
        } else if (i < 8) {
            x = code.side - 1 - i;
            y = 8;
        } else {
            y = code.side - 15 + i;
        }
        bits |= int(code.isDark(x, y)) << i;
    }
    return bits;
}

// The format bits that a level M code with that mask carries: BCH(15,5), then the fixed mask.
int levelMFormatBits(int mask)
{
    const int data = (0 << 3) | mask; // level M is 00
    int remainder = data;
    for (int i = 0; i < 10; ++i)
        remainder = (remainder << 1) ^ ((remainder >> 9) * 0x537);
    return ((data << 10) | remainder) ^ 0x5412;
}

TEST(QrCode, AnAddressIsAReadableLevelMSymbol)
{
    const QrCode code = encodeQrCode(QStringLiteral("http://192.168.1.20:8080/"));
    ASSERT_FALSE(code.isEmpty());
    EXPECT_EQ(code.side, sideOfVersion(code.version));
    EXPECT_EQ(code.modules.size(), size_t(code.side * code.side));
    EXPECT_TRUE(isFinderAt(code, 0, 0));
    EXPECT_TRUE(isFinderAt(code, code.side - 7, 0));
    EXPECT_TRUE(isFinderAt(code, 0, code.side - 7));
    EXPECT_FALSE(isFinderAt(code, code.side - 7, code.side - 7));
    // Only a symbol the right way round has its dark module beside the lower left finder.
    EXPECT_TRUE(code.isDark(8, code.side - 8));
    const int format = formatBits(code, true);
    EXPECT_EQ(format, formatBits(code, false)) << "the two copies of the format agree";
    bool isLevelM = false;
    for (int mask = 0; mask < 8; ++mask)
        isLevelM = isLevelM || format == levelMFormatBits(mask);
    EXPECT_TRUE(isLevelM) << std::hex << format;
}

struct VersionCase
{
    const char *name;
    QString text;
    int version;
};

// The case's name instead of its bytes in the test list.
void PrintTo(const VersionCase &value, std::ostream *out)
{
    *out << value.name;
}

class QrCodeVersion : public ::testing::TestWithParam<VersionCase>
{
};

// The smallest version that holds the bytes at level M: 14, 26, 42, 62 and 84 bytes for
// versions 1 to 5, and 2331 for version 40. Cyrillic letters count two bytes each.
TEST_P(QrCodeVersion, IsTheSmallestThatHoldsTheBytes)
{
    const QrCode code = encodeQrCode(GetParam().text);
    EXPECT_EQ(code.version, GetParam().version);
    EXPECT_EQ(code.side, sideOfVersion(GetParam().version));
    EXPECT_TRUE(isFinderAt(code, code.side - 7, 0));
    EXPECT_TRUE(isFinderAt(code, 0, code.side - 7));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, QrCodeVersion,
    ::testing::Values(VersionCase{"OneByte", QStringLiteral("a"), 1}, VersionCase{"Bytes14", QString(14, u'a'), 1},
                      VersionCase{"Bytes15", QString(15, u'a'), 2}, VersionCase{"Bytes26", QString(26, u'a'), 2},
                      VersionCase{"Bytes27", QString(27, u'a'), 3}, VersionCase{"Bytes42", QString(42, u'a'), 3},
                      VersionCase{"Bytes43", QString(43, u'a'), 4}, VersionCase{"Bytes62", QString(62, u'a'), 4},
                      VersionCase{"Bytes63", QString(63, u'a'), 5}, VersionCase{"Bytes2331", QString(2331, u'a'), 40},
                      VersionCase{"Cyrillic7", QString(7, u'Ж'), 1}, VersionCase{"Cyrillic8", QString(8, u'Ж'), 2}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(QrCode, TextThatNoCodeHoldsGivesAnEmptyCode)
{
    for (const QString &text : {QString(), QString(2332, u'a'), QString(1200, u'Ж'), QString(100000, u'x')}) {
        const QrCode code = encodeQrCode(text);
        EXPECT_TRUE(code.isEmpty()) << text.size();
        EXPECT_TRUE(code.modules.empty());
        EXPECT_FALSE(code.isDark(0, 0));
    }
}

TEST(QrCode, EachTextHasItsOwnCode)
{
    const QrCode first = encodeQrCode(QStringLiteral("http://10.0.0.5:8080/"));
    const QrCode second = encodeQrCode(QStringLiteral("http://10.0.0.6:8080/"));
    ASSERT_EQ(first.side, second.side);
    EXPECT_NE(first.modules, second.modules);
    EXPECT_EQ(encodeQrCode(QStringLiteral("http://10.0.0.5:8080/")), first);
}

class QrCodeDrawing : public ::testing::TestWithParam<int>
{
};

// Every module a square of its size, black or white as the code says, inside a white frame
// of four modules.
TEST_P(QrCodeDrawing, IsTheCodeInsideItsQuietZone)
{
    const int moduleSize = GetParam();
    const QrCode code = encodeQrCode(QStringLiteral("http://[2001:db8::7]:8080/"));
    const QImage image = drawQrCode(code, moduleSize);
    ASSERT_EQ(image.size(), QSize((code.side + 8) * moduleSize, (code.side + 8) * moduleSize));
    int dark = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool expected = code.isDark(x / moduleSize - 4, y / moduleSize - 4);
            const QColor pixel = image.pixelColor(x, y);
            ASSERT_EQ(pixel, expected ? QColor(Qt::black) : QColor(Qt::white)) << x << "," << y;
            dark += expected;
        }
    }
    EXPECT_GT(dark, 0);
}

INSTANTIATE_TEST_SUITE_P(ModuleSizes, QrCodeDrawing, ::testing::Values(1, 3, 4));

TEST(QrCode, NothingToDrawGivesANullImage)
{
    const QrCode code = encodeQrCode(QStringLiteral("x"));
    EXPECT_TRUE(drawQrCode(QrCode{}, 4).isNull());
    EXPECT_TRUE(drawQrCode(code, 0).isNull());
    EXPECT_TRUE(drawQrCode(code, -2).isNull());
}

TEST(QrCode, ModuleSizeIsTheLargestThatFits)
{
    const QrCode version1 = encodeQrCode(QStringLiteral("x")); // 21 modules, 29 with the quiet zone
    ASSERT_EQ(version1.side, 21);
    const struct
    {
        int pixels;
        int moduleSize;
    } cases[] = {{116, 4}, {115, 3}, {87, 3}, {86, 2}, {29, 1}, {10, 1}, {0, 1}};
    for (const auto &c : cases) {
        EXPECT_EQ(qrModuleSizeToFit(version1, c.pixels), c.moduleSize) << c.pixels;
        if (c.pixels >= 29) {
            EXPECT_LE(drawQrCode(version1, qrModuleSizeToFit(version1, c.pixels)).width(), c.pixels);
        }
    }
}

} // namespace
