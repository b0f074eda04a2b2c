// A JPEG title picture stays sharp when the band it fills grows while the program runs: a
// bigger TV, a taller title, a web page larger than the TV. What the boards show then is
// what a start in that state shows.

#include "tests/TestSupport.h"

#include "app/Form1.h"
#include "app/TitleLine.h"
#include "board/BoardGeometry.h"
#include "board/FormMon2.h"
#include "board/FrameCorvane.h"
#include "board/MonitorList.h"
#include "board/TitleImage.h"
#include "platform/ProgramSettings.h"
#include "platform/SettingsStore.h"
#include "web/BoardSnapshot.h"

#include <QApplication>
#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QRect kOperatorMonitor(0, 0, 1920, 1080);
const QRect kSmallTv(1920, 0, 540, 960);
const QRect kLargeTv(1920, 0, 2160, 3840);
const QRect kMiddleTv(1920, 0, 1080, 1920);

// A wide logo of hard-edged letters and hairlines: a decode blown up shows soft edges all
// along them. 2400 wide, it is decoded at a quarter for a 540-wide band and whole for a
// 2160-wide one.
QByteArray letteringJpeg()
{
    QImage image(2400, 800, QImage::Format_RGB32);
    image.fill(QColor(10, 20, 90));
    QPainter painter(&image);
    QFont font;
    font.setPixelSize(420);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(250, 220, 40));
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("KURS 24"));
    painter.setPen(QPen(Qt::white, 3));
    for (int x = 20; x < image.width(); x += 40)
        painter.drawLine(x, 0, x + 200, 120);
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 95);
    return bytes;
}

// How many pixels of two pictures of a band differ; all of them when the sizes differ.
qint64 differingPixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return qint64(std::max(a.width(), b.width())) * std::max(a.height(), b.height());
    const QImage first = a.convertToFormat(QImage::Format_RGB32);
    const QImage second = b.convertToFormat(QImage::Format_RGB32);
    qint64 differing = 0;
    for (int y = 0; y < first.height(); ++y) {
        const auto *one = reinterpret_cast<const QRgb *>(first.constScanLine(y));
        const auto *other = reinterpret_cast<const QRgb *>(second.constScanLine(y));
        for (int x = 0; x < first.width(); ++x)
            differing += one[x] != other[x] ? 1 : 0;
    }
    return differing;
}

class TitlePictureBand : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sandbox.isValid() && dir.isValid());
        logo = dir.filePath(QStringLiteral("logo.jpg"));
        testsupport::writeBytes(logo, letteringJpeg());
    }
    void TearDown() override
    {
        windows.stop();
        MonitorList::instance().setStandIn(std::nullopt);
        QCoreApplication::processEvents();
    }

    // The stored settings of a board that shows the logo as its title on the TV.
    void storeLogoTitle(int titleProportion)
    {
        const auto store = SettingsStore::open(ProgramSettings::settingsRoot() + TForm1::programTitle(),
                                               SettingsStore::Mode::Create);
        for (const auto &[name, value] : testsupport::storedGroup())
            store->writeString(name, value);
        store->writeString(QStringLiteral("FileName"), logo);
        store->writeInteger(QStringLiteral("TitleMode"), 1);
        store->writeInteger(QStringLiteral("ProTop"), titleProportion);
        ASSERT_TRUE(store->commit());
    }

    void startWithTvOn(const QRect &tvMonitor)
    {
        plug(tvMonitor);
        windows.start();
        windows.form->show();
        windows.form->btn_TV_OnClick();
        settle();
        ASSERT_TRUE(windows.tv->isVisible());
        ASSERT_FALSE(windows.tv->FrameCorvane1->ImageTop->isHidden());
    }

    // An orderly close, then a start that reads what the close stored, on the TV now there.
    void restartWithTvOn()
    {
        windows.restart();
        windows.form->show();
        windows.form->btn_TV_OnClick();
        settle();
        ASSERT_TRUE(windows.tv->isVisible());
    }

    static void plug(const QRect &tvMonitor) { MonitorList::instance().setStandIn(QList<QRect>{kOperatorMonitor, tvMonitor}); }
    static void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    // What each board's title band shows.
    QImage tvTitle() const { return testsupport::renderWidget(windows.tv->FrameCorvane1->ImageTop); }
    QImage previewTitle() const { return testsupport::renderWidget(windows.form->FrameCorvane1->ImageTop); }

    // The title band of the web board's picture for a page of that size.
    QImage pageTitle(QSize page) const
    {
        BoardSnapshot snapshot(windows.tv->FrameCorvane1);
        const QImage picture = QImage::fromData(snapshot.picture(page).png, "PNG");
        const BoardBands bands = boardBands(page.height(), page, programSettings().proportions());
        return picture.copy(0, 0, bands.width, bands.titleHeight);
    }

    testsupport::SettingsSandbox sandbox;
    testsupport::ProgramWindows windows;
    QTemporaryDir dir;
    QString logo;
};

TEST_F(TitlePictureBand, ABiggerTvShowsThePictureAsAStartOnItWould)
{
    storeLogoTitle(20);
    startWithTvOn(kSmallTv);
    const QImage smallTitle = tvTitle();
    plug(kLargeTv);
    settle();
    ASSERT_EQ(windows.tv->geometry(), kLargeTv);
    const QImage grownTv = tvTitle();
    const QImage grownPreview = previewTitle();
    ASSERT_EQ(grownTv.size(), QSize(2160, 768));
    ASSERT_NE(grownTv.size(), smallTitle.size());

    restartWithTvOn();
    // The same decode, scaled the same way: not a pixel differs.
    EXPECT_EQ(differingPixels(tvTitle(), grownTv), 0);
    EXPECT_EQ(differingPixels(previewTitle(), grownPreview), 0);
}

TEST_F(TitlePictureBand, ASmallerTvShowsThePictureAsAStartOnItWould)
{
    storeLogoTitle(20);
    startWithTvOn(kLargeTv);
    plug(kSmallTv);
    settle();
    const QImage shrunkTv = tvTitle();
    ASSERT_EQ(shrunkTv.size(), QSize(540, 192));

    restartWithTvOn();
    EXPECT_EQ(differingPixels(tvTitle(), shrunkTv), 0);
    // Decoded for the small band, the picture holds far less than its whole decode.
    EXPECT_LT(windows.tv->FrameCorvane1->ImageTop->picture().keptBytes(), 2400 * 800 * 4 / 4);
}

// The operator types a taller title proportion into its field.
TEST_F(TitlePictureBand, ATallerTitleShowsThePictureAsAStartWithItWould)
{
    storeLogoTitle(10);
    startWithTvOn(kMiddleTv);
    QSpinBox *titleProportion = windows.form->seProc[0];
    titleProportion->setFocus();
    QTest::keyClick(titleProportion, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(titleProportion, QStringLiteral("25"));
    QTest::keyClick(titleProportion, Qt::Key_Return);
    settle();
    ASSERT_EQ(programSettings().proportions().ProTop, 25);
    const QImage tallerTv = tvTitle();
    ASSERT_EQ(tallerTv.size(), QSize(1080, 480));

    restartWithTvOn();
    ASSERT_EQ(programSettings().proportions().ProTop, 25);
    EXPECT_EQ(differingPixels(tvTitle(), tallerTv), 0);
}

// A browser asks for a page four times the TV's size: the page's title is drawn from a decode
// for its own band, as the page of a program started on a TV of that size shows it, and the
// TV board keeps the picture it has.
TEST_F(TitlePictureBand, APageLargerThanTheTvDecodesForItselfAndLeavesTheTvAlone)
{
    storeLogoTitle(20);
    startWithTvOn(kSmallTv);
    const quintptr tvPicture = windows.tv->FrameCorvane1->ImageTop->picture().identity();
    const QImage tvBefore = tvTitle();
    const QImage page = pageTitle(kLargeTv.size());
    EXPECT_EQ(windows.tv->FrameCorvane1->ImageTop->picture().identity(), tvPicture);
    EXPECT_EQ(differingPixels(tvTitle(), tvBefore), 0);

    plug(kLargeTv);
    restartWithTvOn();
    EXPECT_EQ(differingPixels(pageTitle(kLargeTv.size()), page), 0);
}

// A burst of layouts decodes no more than the bands need: the same scale twice is one
// decode, and every decode is told to the boards once.
TEST(TitlePictureRefit, OnlyABandOfAnotherScaleDecodesAgain)
{
    testsupport::SettingsSandbox sandbox;
    QTemporaryDir dir;
    const QString logo = dir.filePath(QStringLiteral("logo.jpg"));
    testsupport::writeBytes(logo, letteringJpeg());
    TitleLine title(QStringLiteral("caption"));
    ASSERT_EQ(title.choosePicture(logo, QSize(540, 192)), std::nullopt);
    QSignalSpy changes(&title, &TitleLine::pictureChanged);
    const quintptr chosen = title.picture().identity();

    title.fitPicture(QSize(560, 200)); // a quarter all the same
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(title.picture().identity(), chosen);
    title.fitPicture(QSize(2160, 768));
    title.fitPicture(QSize(2200, 780)); // whole for both
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(title.picture().naturalSize(), QSize(2400, 800));
}

} // namespace
