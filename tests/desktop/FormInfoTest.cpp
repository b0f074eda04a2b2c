#include "tests/TestSupport.h"

#include "desktop/ApplicationIcon.h"
#include "desktop/FormInfo.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <optional>

namespace {

QString widgetText(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (const auto *button = qobject_cast<const QPushButton *>(widget))
        return button->text();
    if (const auto *memo = qobject_cast<const QPlainTextEdit *>(widget))
        return memo->toPlainText();
    return {};
}

// The window as designed. Labels that size themselves to their caption give only the
// edge they are anchored at; a position relative to the window unless `inside` is set.
struct Element
{
    const char *name;
    std::optional<int> left = {};
    int top = 0;
    std::optional<int> right = {};
    std::optional<int> width = {};
    std::optional<int> height = {};
    const char *text = nullptr;
    int pixelSize = 0;
    bool bold = false;
    bool underline = false;
    const char *inside = nullptr;
};

const Element kElements[] = {
    {.name = "Image1", .left = 10, .top = 4, .width = 238, .height = 65, .text = "", .pixelSize = 11},
    {.name = "Panel1", .left = 8, .top = 56, .width = 38, .height = 38, .text = "", .pixelSize = 11},
    {.name = "ImageICON", .left = 3, .top = 3, .width = 32, .height = 32, .text = "", .pixelSize = 11,
     .inside = "Panel1"},
    {.name = "Label1", .top = 70, .right = 247, .text = "Corvane", .pixelSize = 21, .bold = true,
     .underline = true},
    {.name = "LabelVer", .top = 97, .right = 245, .text = "Версия 1.0 (13.02.2011)", .pixelSize = 15},
    {.name = "Label3", .left = 9, .top = 132, .width = 238, .text = "© Marrowgate, exchange-office boards",
     .pixelSize = 11},
    {.name = "Memo1", .left = 7, .top = 148, .width = 241, .height = 176, .pixelSize = 12},
    {.name = "sOK", .left = 56, .top = 329, .width = 145, .height = 28, .text = "Согласен", .pixelSize = 15, .bold = true},
    {.name = "Lab", .left = 8, .top = 359, .width = 238, .height = 30,
     .text = "Отзывы, критика, предложения, вопросы и заказы только письменно через", .pixelSize = 12},
    {.name = "Label2", .left = 55, .top = 390, .width = 137, .text = "www.marrowgate.ru", .pixelSize = 12,
     .underline = true},
};

void PrintTo(const Element &element, std::ostream *out)
{
    *out << element.name;
}

class FormInfoElement : public ::testing::TestWithParam<Element>
{
protected:
    TFormInfo form;
};

TEST_P(FormInfoElement, LiesWhereDesignedWithItsCaption)
{
    const Element &e = GetParam();
    const auto *widget = form.findChild<QWidget *>(QLatin1String(e.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), QLatin1String(e.inside ? e.inside : "FormInfo"));
    const QRect box = widget->geometry();
    EXPECT_EQ(box.top(), e.top);
    if (e.left) {
        EXPECT_EQ(box.left(), *e.left);
    }
    if (e.right) {
        EXPECT_EQ(box.x() + box.width(), *e.right);
    }
    if (e.width) {
        EXPECT_EQ(box.width(), *e.width);
    }
    if (e.height) {
        EXPECT_EQ(box.height(), *e.height);
    }
    if (e.text) {
        EXPECT_EQ(widgetText(widget), QString::fromUtf8(e.text));
    }
    EXPECT_EQ(widget->font().pixelSize(), e.pixelSize);
    EXPECT_EQ(widget->font().bold(), e.bold);
    EXPECT_EQ(widget->font().underline(), e.underline);
}

INSTANTIATE_TEST_SUITE_P(Design, FormInfoElement, ::testing::ValuesIn(kElements),
                         [](const auto &info) { return std::string(info.param.name); });

// However the design's fonts fall back on this system, no caption is cut off.
TEST(FormInfo, EveryCaptionFitsItsLabel)
{
    TFormInfo form;
    for (const QLabel *label : form.findChildren<QLabel *>()) {
        if (label->text().isEmpty())
            continue;
        const int flags = int(label->alignment() & Qt::AlignHorizontal_Mask) | (label->wordWrap() ? int(Qt::TextWordWrap) : 0);
        const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 1000), flags, label->text());
        EXPECT_LE(needed.width(), label->width()) << qPrintable(label->objectName());
        EXPECT_LE(needed.height(), label->height()) << qPrintable(label->objectName());
    }
}

TEST(FormInfo, IsAFixedDialogWithACaptionButNoTitleBarButtons)
{
    TFormInfo form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Info"));
    EXPECT_EQ(form.minimumSize(), QSize(256, 410));
    EXPECT_EQ(form.maximumSize(), QSize(256, 410));
    const Qt::WindowFlags flags = form.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    for (const Qt::WindowType button : {Qt::WindowCloseButtonHint, Qt::WindowSystemMenuHint,
                                        Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                                        Qt::WindowContextHelpButtonHint})
        EXPECT_FALSE(flags.testFlag(button)) << button;
    EXPECT_FALSE(form.isVisible());
}

TEST(FormInfo, DrawsTheLogoAndTheNamesOnSilver)
{
    TFormInfo form;
    const QImage image = testsupport::renderWidget(&form);
    EXPECT_EQ(image.pixelColor(250, 120), QColor(0xC0, 0xC0, 0xC0));
    auto colourCount = [&image](const QRect &area, const QColor &colour) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixelColor(x, y) == colour;
        return count;
    };
    EXPECT_GT(colourCount(form.Image1->geometry(), QColor(0x80, 0x00, 0x00)), 100) << "the maker's maroon logo";
    EXPECT_GT(colourCount(form.Label1->geometry(), QColor(0x80, 0x00, 0x00)), 20) << "the maroon program name";
    EXPECT_GT(colourCount(form.Label2->geometry(), QColor(0x00, 0x00, 0xFF)), 20) << "the blue address";
}

TEST(FormInfo, ShowsTheApplicationIconOnEveryShowing)
{
    TFormInfo form;
    EXPECT_TRUE(form.ImageICON->pixmap().isNull());

    form.show();
    EXPECT_EQ(form.ImageICON->pixmap().toImage(), applicationIcon().pixmap(32, 32).toImage())
        << "the program's own icon while the application has none set";
    form.hide();

    QPixmap red(32, 32);
    red.fill(Qt::red);
    QApplication::setWindowIcon(QIcon(red));
    form.show();
    const QImage shown = form.ImageICON->pixmap().toImage();
    QApplication::setWindowIcon(QIcon());
    EXPECT_EQ(shown.size(), QSize(32, 32));
    EXPECT_EQ(shown.pixelColor(16, 16), QColor(Qt::red));
}

struct CloseCase
{
    const char *name;
    std::function<void(TFormInfo &)> act;
    bool staysOpen;
};

void clickIntoMemo(TFormInfo &form)
{
    QTest::mouseClick(form.Memo1->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
}

const CloseCase kCloseCases[] = {
    {"sOKClicked", [](TFormInfo &form) { QTest::mouseClick(form.sOK, Qt::LeftButton); }, false},
    {"EscOnTheWindow", [](TFormInfo &form) { QTest::keyClick(&form, Qt::Key_Escape); }, false},
    {"EscInTheMemoAfterAClickIntoIt",
     [](TFormInfo &form) {
         clickIntoMemo(form);
         QTest::keyClick(form.Memo1, Qt::Key_Escape);
     },
     true},
    {"OtherKeyOnTheWindow", [](TFormInfo &form) { QTest::keyClick(&form, Qt::Key_A); }, true},
    {"EnterOnTheWindow", [](TFormInfo &form) { QTest::keyClick(&form, Qt::Key_Return); }, true},
    {"ClickOnTheMemo", clickIntoMemo, true},
};

void PrintTo(const CloseCase &c, std::ostream *out)
{
    *out << c.name;
}

class FormInfoClose : public ::testing::TestWithParam<CloseCase>
{
};

TEST_P(FormInfoClose, ClosesOnlyOnOKOrEscToTheWindow)
{
    TFormInfo form;
    form.open();
    ASSERT_TRUE(form.isVisible());
    GetParam().act(form);
    EXPECT_EQ(form.isVisible(), GetParam().staysOpen);
}

INSTANTIATE_TEST_SUITE_P(Keys, FormInfoClose, ::testing::ValuesIn(kCloseCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(FormInfo, OpensWithNoControlFocusedSoEscReachesTheWindow)
{
    TFormInfo form;
    form.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    QTest::keyClick(&form, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), nullptr) << "Tab skips the text box and the button";
    clickIntoMemo(form);
    EXPECT_EQ(QApplication::focusWidget(), form.Memo1);
}

TEST(FormInfo, ExecReturnsWhenClosedAndCanBeShownAgain)
{
    TFormInfo form;
    for (int showing = 1; showing <= 2; ++showing) {
        bool wasModal = false;
        QTimer::singleShot(0, &form, [&form, &wasModal] {
            wasModal = form.isModal() && form.isVisible();
            QTest::mouseClick(form.sOK, Qt::LeftButton);
            if (form.isVisible()) {
                ADD_FAILURE() << "sOK left the window open";
                form.done(QDialog::Accepted);
            }
        });
        form.exec();
        EXPECT_TRUE(wasModal) << "showing " << showing;
        EXPECT_FALSE(form.isVisible());
    }
}

TEST(FormInfo, IsCentredOverItsOwnerOnEveryShowing)
{
    QWidget owner;
    owner.setGeometry(100, 80, 900, 700);
    owner.show();
    TFormInfo form(&owner);
    for (const QPoint ownerPlace : {QPoint(100, 80), QPoint(400, 200)}) {
        owner.move(ownerPlace);
        form.show();
        const QPoint offset = form.frameGeometry().center() - owner.frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 1) << ownerPlace.x() << "," << ownerPlace.y();
        form.hide();
    }
}

struct ClickCase
{
    const char *name;
    const char *element;
    Qt::MouseButton button;
    bool opens;
};

const ClickCase kClickCases[] = {
    {"LogoLeftClick", "Image1", Qt::LeftButton, true},
    {"AddressLeftClick", "Label2", Qt::LeftButton, true},
    {"LogoRightClick", "Image1", Qt::RightButton, false},
    {"AddressRightClick", "Label2", Qt::RightButton, false},
    {"ProgramName", "Label1", Qt::LeftButton, false},
    {"Invitation", "Lab", Qt::LeftButton, false},
    {"IconPanel", "ImageICON", Qt::LeftButton, false},
    {"Memo", "Memo1", Qt::LeftButton, false},
    {"OK", "sOK", Qt::LeftButton, false},
};

void PrintTo(const ClickCase &c, std::ostream *out)
{
    *out << c.name;
}

class FormInfoClick : public ::testing::TestWithParam<ClickCase>
{
};

TEST_P(FormInfoClick, OnlyTheLogoAndTheAddressOpenTheContactPage)
{
    TFormInfo form;
    QList<QUrl> opened;
    form.setUrlOpener([&opened](const QUrl &url) { opened << url; });
    form.show();
    auto *widget = form.findChild<QWidget *>(QLatin1String(GetParam().element));
    ASSERT_NE(widget, nullptr);
    QTest::mouseClick(widget, GetParam().button);
    const QList<QUrl> expected{QUrl(QStringLiteral("https://") + form.Label2->text())};
    EXPECT_EQ(opened, GetParam().opens ? expected : QList<QUrl>());
}

INSTANTIATE_TEST_SUITE_P(Elements, FormInfoClick, ::testing::ValuesIn(kClickCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(FormInfo, LinksShowTheHandCursor)
{
    TFormInfo form;
    EXPECT_EQ(form.Image1->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form.Label2->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(form.Label1->cursor().shape(), Qt::ArrowCursor);
}

} // namespace
