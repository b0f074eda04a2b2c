// The title's rules without a window: which of text and picture the boards show, and what
// the operator's actions change.

#include "tests/TestSupport.h"

#include "app/TitleLine.h"
#include "platform/ProgramSettings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kDesignCaption = QStringLiteral("design caption");

QByteArray bitmapBytes(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return bytes;
}

class TitleLineRules : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.isValid() && dir.isValid()); }

    QString file(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        testsupport::writeBytes(path, bytes);
        return path;
    }
    QString logo(QColor color = Qt::red) { return file(QStringLiteral("logo.bmp"), bitmapBytes(QSize(40, 20), color)); }

    testsupport::SettingsSandbox sandbox;
    QTemporaryDir dir;
    TitleLine title{kDesignCaption};
    const QSize band{270, 96};
};

TEST_F(TitleLineRules, StartsWithTheDesignTextAndNoPicture)
{
    EXPECT_EQ(title.caption(), kDesignCaption);
    EXPECT_FALSE(title.showsPicture());
    EXPECT_FALSE(title.pictureEnabled());
    EXPECT_TRUE(title.picture().isNull());
}

TEST_F(TitleLineRules, ThePictureOptionNeedsAKnownPictureFile)
{
    title.selectPicture();
    EXPECT_FALSE(title.showsPicture());
    EXPECT_EQ(programSettings().titleMode(), 0);

    ASSERT_EQ(title.choosePicture(logo(), band), std::nullopt);
    QSignalSpy modes(&title, &TitleLine::modeChanged);
    title.selectPicture();
    EXPECT_TRUE(title.showsPicture());
    EXPECT_EQ(programSettings().titleMode(), 1);
    // Selecting the selected option again does nothing.
    title.selectPicture();
    EXPECT_EQ(modes.count(), 1);

    title.selectText(QStringLiteral("typed"));
    EXPECT_FALSE(title.showsPicture());
    EXPECT_EQ(title.caption(), "typed");
    EXPECT_EQ(programSettings().titleMode(), 0);
}

TEST_F(TitleLineRules, ChoosingAPictureInTextModeOnlyPreparesIt)
{
    const QString path = logo();
    QSignalSpy pictures(&title, &TitleLine::pictureChanged);
    ASSERT_EQ(title.choosePicture(path, band), std::nullopt);
    EXPECT_EQ(pictures.count(), 1);
    EXPECT_EQ(title.picture().naturalSize(), QSize(40, 20));
    EXPECT_TRUE(title.pictureEnabled());
    EXPECT_EQ(programSettings().fileName(), path);
    EXPECT_FALSE(title.showsPicture());
    EXPECT_EQ(title.caption(), kDesignCaption);
    EXPECT_EQ(programSettings().titleMode(), 0);
}

TEST_F(TitleLineRules, APictureThatDoesNotLoadChangesNothing)
{
    const QString good = logo(Qt::green);
    ASSERT_EQ(title.choosePicture(good, band), std::nullopt);
    title.selectPicture();
    QSignalSpy pictures(&title, &TitleLine::pictureChanged);
    for (const QString &bad : {file("damaged.bmp", QByteArray(100, 'x')), file("logo.png", bitmapBytes(QSize(4, 4), Qt::blue)),
                               dir.filePath("vanished.jpg")}) {
        const std::optional<QString> error = title.choosePicture(bad, band);
        ASSERT_TRUE(error.has_value()) << bad.toStdString();
        EXPECT_FALSE(error->isEmpty());
        EXPECT_EQ(programSettings().fileName(), good);
        EXPECT_TRUE(title.showsPicture());
    }
    EXPECT_EQ(pictures.count(), 0);
    EXPECT_EQ(title.picture().render(QSize(40, 20)).pixelColor(5, 5), QColor(Qt::green));
}

TEST_F(TitleLineRules, TextEditsChangeOnlyTheCaption)
{
    ASSERT_EQ(title.choosePicture(logo(), band), std::nullopt);
    title.selectPicture();
    const QString fileName = programSettings().fileName();
    title.editText(QStringLiteral("Курсы"));
    EXPECT_EQ(title.caption(), "Курсы");
    EXPECT_TRUE(title.showsPicture());
    EXPECT_EQ(programSettings().titleMode(), 1);
    EXPECT_EQ(programSettings().fileName(), fileName);
}

TEST_F(TitleLineRules, PickingAnExistingFileOnlyOffersThePicture)
{
    const QString other = file("other.bmp", bitmapBytes(QSize(10, 10), Qt::blue));
    QSignalSpy pictures(&title, &TitleLine::pictureChanged);
    title.pickEntry(other);
    EXPECT_TRUE(title.pictureEnabled());
    EXPECT_EQ(pictures.count(), 0);
    EXPECT_TRUE(title.picture().isNull());
    EXPECT_EQ(title.caption(), kDesignCaption);
    EXPECT_EQ(programSettings().fileName(), "Title.jpg");
    EXPECT_FALSE(title.showsPicture());
}

TEST_F(TitleLineRules, PickingATextInPictureModeShowsThatText)
{
    ASSERT_EQ(title.choosePicture(logo(), band), std::nullopt);
    title.selectPicture();
    title.pickEntry(QStringLiteral("p q r"));
    EXPECT_FALSE(title.showsPicture());
    EXPECT_EQ(title.caption(), "p q r");
    EXPECT_EQ(programSettings().titleMode(), 0);
    // A folder of that name is no picture file.
    title.pickEntry(dir.path());
    EXPECT_EQ(title.caption(), dir.path());
}

struct StartCase
{
    const char *name;
    const char *file; // "" for a title that names no file
    QByteArray bytes;
    int storedMode;
    bool showsPicture;
    bool pictureEnabled;
    bool saysSomething;
};

TEST_F(TitleLineRules, StartUpShowsThePictureOnlyWhenItLoadsAndTheModeAsksForIt)
{
    const StartCase cases[] = {
        {"picture mode, picture loads", "logo.bmp", bitmapBytes(QSize(8, 8), Qt::red), 1, true, true, false},
        {"text mode, picture loads", "logo.bmp", bitmapBytes(QSize(8, 8), Qt::red), 0, false, true, false},
        {"picture mode, file missing", "", {}, 1, false, false, false},
        {"picture mode, file damaged", "damaged.jpg", QByteArray(64, 'x'), 1, false, false, true},
        {"unknown mode, picture loads", "logo.bmp", bitmapBytes(QSize(8, 8), Qt::red), 5, false, true, false},
    };
    for (const StartCase &c : cases) {
        programSettings().reset();
        TitleLine fresh(kDesignCaption);
        const QString name = *c.file ? file(QString::fromUtf8(c.file), c.bytes) : dir.filePath("none.jpg");
        programSettings().setTitleMode(c.storedMode);
        const std::optional<QString> said = fresh.startUp(name, band);
        EXPECT_EQ(fresh.showsPicture(), c.showsPicture) << c.name;
        EXPECT_EQ(fresh.pictureEnabled(), c.pictureEnabled) << c.name;
        EXPECT_EQ(said.has_value(), c.saysSomething) << c.name;
        EXPECT_EQ(fresh.caption(), name) << c.name;
        // Only the two show routines change the mode: a stored 1 stays 1 when the board
        // cannot show the picture.
        EXPECT_EQ(programSettings().titleMode(), c.storedMode) << c.name;
    }
}

TEST_F(TitleLineRules, ANameWithoutAFolderIsFoundInTheWorkingDirectory)
{
    logo();
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    programSettings().setTitleMode(1);
    const std::optional<QString> said = title.startUp(QStringLiteral("logo.bmp"), band);
    QDir::setCurrent(previous);
    EXPECT_EQ(said, std::nullopt);
    EXPECT_TRUE(title.showsPicture());
}

} // namespace
