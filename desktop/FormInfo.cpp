#include "FormInfo.h"

#include "ApplicationIcon.h"
#include "MakerLogo.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QColor Silver(0xC0, 0xC0, 0xC0);
const QColor Maroon(0x80, 0x00, 0x00);
const QColor Blue(0x00, 0x00, 0xFF);
constexpr QChar Escape(0x1B);

const char *const RightsNotice =
    "Программа Corvane показывает курсы обмена валют на табло пункта обмена: на мониторе "
    "или телевизоре, подключённом к компьютеру оператора.\n\n"
    "Все права на программу, её оформление и документацию принадлежат Marrowgate.\n\n"
    "Программу можно устанавливать и применять в пунктах обмена валют владельца лицензии. "
    "Продавать, сдавать в аренду, изменять и распространять её без письменного согласия "
    "Marrowgate нельзя.\n\n"
    "Программа предоставляется «как есть». За курсы, показанные на табло, отвечает "
    "оператор; Marrowgate не отвечает за убытки от неверно введённых курсов.\n\n"
    "Нажимая «Согласен», вы принимаете эти условия.";

QFont designFont(const QString &family, int pixelSize, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

// Where the design's "MS Sans Serif" is missing, Arial or its metric twin stands in: the
// system's general fallback (often DejaVu Sans) is wide enough to push the last word of
// Lab out of its two lines. The twin is named too, because only the first family of the
// list goes through the system's font aliases.
QFont sansSerif(int pixelSize, bool bold = false)
{
    QFont font = designFont(QStringLiteral("MS Sans Serif"), pixelSize, bold);
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    return font;
}

QFont underlined(QFont font)
{
    font.setUnderline(true);
    return font;
}

void setTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QFont &font)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setFont(font);
    return label;
}

// A label as wide as its text whose right edge stays put, as a right-aligned label that
// sizes itself to its caption does.
void placeAtRightEdge(QLabel *label, int right, int top)
{
    label->adjustSize();
    label->move(right - label->width(), top);
}

// A centred one-line label of a fixed width, as high as its text.
void placeCentred(QLabel *label, int left, int top, int width)
{
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setGeometry(left, top, width, label->sizeHint().height());
}

QIcon agreeGlyph()
{
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x00, 0x80, 0x00), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QPolygonF{{3, 8}, {6.5, 12}, {13, 4}});
    return QIcon(glyph);
}

} // namespace

TFormInfo::TFormInfo(QWidget *parent)
    : QDialog(parent)
    , m_openUrl([](const QUrl &url) { QDesktopServices::openUrl(url); })
{
    setUpWindow();
    createLogo();
    createIconPanel();
    createTitleLabels();
    createNotices();
    createButton();
    createContactLabels();
}

QString TFormInfo::contactAddress()
{
    return QStringLiteral("www.marrowgate.ru");
}

QUrl TFormInfo::contactPage()
{
    return QUrl(QStringLiteral("https://") + contactAddress());
}

void TFormInfo::setUpWindow()
{
    setObjectName(QStringLiteral("FormInfo"));
    setWindowTitle(QStringLiteral("Info"));
    // A dialog border with a caption but neither system menu nor close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(256, 410);
    setFont(sansSerif(11));
    QPalette background = palette();
    background.setColor(QPalette::Window, Silver);
    setPalette(background);
    setAutoFillBackground(true);
}

void TFormInfo::createLogo()
{
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(10, 4, 238, 65);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setPixmap(makerLogo());
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
}

void TFormInfo::createIconPanel()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(8, 56, 38, 38);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    ImageICON = new QLabel(Panel1);
    ImageICON->setObjectName(QStringLiteral("ImageICON"));
    ImageICON->setGeometry(3, 3, 32, 32);
}

void TFormInfo::createTitleLabels()
{
    Label1 = addLabel(this, "Label1", QStringLiteral("Corvane"), underlined(designFont(QStringLiteral("Arial"), 21, true)));
    setTextColour(Label1, Maroon);
    placeAtRightEdge(Label1, 247, 70);

    LabelVer = addLabel(this, "LabelVer", QStringLiteral("Версия 1.0 (13.02.2011)"), sansSerif(15));
    placeAtRightEdge(LabelVer, 245, 97);
}

void TFormInfo::createNotices()
{
    Label3 = addLabel(this, "Label3", QStringLiteral("© Marrowgate, exchange-office boards"), font());
    placeCentred(Label3, 9, 132, 238);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(7, 148, 241, 176);
    Memo1->setFont(sansSerif(12));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(QString::fromUtf8(RightsNotice));
    // The lines wrap at the box's width; only the length of the notice needs scrolling.
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Not a Tab stop: the window itself keeps the focus until the operator clicks here.
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setTabChangesFocus(true);
    Memo1->installEventFilter(this);
}

void TFormInfo::createButton()
{
    sOK = new QPushButton(agreeGlyph(), QStringLiteral("Согласен"), this);
    sOK->setObjectName(QStringLiteral("sOK"));
    sOK->setGeometry(56, 329, 145, 28);
    sOK->setFont(sansSerif(15, true));
    // A speed button: it takes no focus, and Enter is no click of it.
    sOK->setFocusPolicy(Qt::NoFocus);
    sOK->setAutoDefault(false);
    connect(sOK, &QPushButton::clicked, this, &TFormInfo::sOKClick);
}

void TFormInfo::createContactLabels()
{
    Lab = addLabel(this, "Lab", QStringLiteral("Отзывы, критика, предложения, вопросы и заказы только письменно через"),
                   sansSerif(12));
    Lab->setGeometry(8, 359, 238, 30);
    Lab->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Lab->setWordWrap(true);

    Label2 = addLabel(this, "Label2", contactAddress(), underlined(sansSerif(12)));
    setTextColour(Label2, Blue);
    placeCentred(Label2, 55, 390, 137);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);
}

void TFormInfo::FormShow()
{
    // Until the program gives the application an icon of its own, its built-in one stands in.
    const QIcon icon = QApplication::windowIcon().isNull() ? applicationIcon() : QApplication::windowIcon();
    ImageICON->setPixmap(icon.pixmap(ImageICON->size()));
    centreOverParent();
}

void TFormInfo::centreOverParent()
{
    if (!parentWidget())
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(parentWidget()->window()->frameGeometry().center());
    move(frame.topLeft());
}

void TFormInfo::sOKClick()
{
    close();
}

void TFormInfo::FormKeyPress(QChar key)
{
    if (key == Escape)
        close();
}

void TFormInfo::Image1Click()
{
    // Whether a browser could be started is not looked at: there is nothing to tell the operator.
    m_openUrl(contactPage());
}

void TFormInfo::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

// Only keys that no control took arrive here. QDialog would close on Esc from anywhere,
// the text box included; this window leaves Esc to the text box while that has the focus.
void TFormInfo::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->key() == Qt::Key_Escape ? QString(Escape) : event->text();
    if (text.isEmpty()) {
        event->ignore();
        return;
    }
    FormKeyPress(text.front());
}

bool TFormInfo::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Memo1 && event->type() == QEvent::KeyPress)
        return static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
    const bool isLink = watched == Image1 || watched == Label2;
    if (isLink && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint()))
            Image1Click();
    }
    return QDialog::eventFilter(watched, event);
}
