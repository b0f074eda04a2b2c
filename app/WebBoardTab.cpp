#include "WebBoardTab.h"

#include "WebBoardLine.h"
#include "platform/ProgramSettings.h"
#include "web/QrCode.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSpinBox>

#include <algorithm>

namespace {

constexpr int kAddressFontPixels = 12; // an IPv6 address still fits the group's width
constexpr int kStatusTop = 76;
constexpr int kQrTop = 148;

} // namespace

TWebBoardTab::TWebBoardTab(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("WebBoardTab"));
    setGeometry(0, kTop, kWidth, kHeight);
    GroupWeb = new QGroupBox(QStringLiteral(" Веб-табло "), this);
    GroupWeb->setObjectName(QStringLiteral("GroupWeb"));
    GroupWeb->setGeometry(0, 0, kWidth, kHeight);
    buildSwitchRow();
    buildAllowRow();
    buildAddressPart();
    showAddressesVisible(false);
}

void TWebBoardTab::buildSwitchRow()
{
    cbWebBoard = new QCheckBox(QStringLiteral("Включить"), GroupWeb);
    cbWebBoard->setObjectName(QStringLiteral("cbWebBoard"));
    cbWebBoard->setGeometry(8, 22, 120, 22);

    lblPort = new QLabel(QStringLiteral("Порт:"), GroupWeb);
    lblPort->setObjectName(QStringLiteral("lblPort"));
    lblPort->setGeometry(140, 22, 56, 22);
    lblPort->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    ePort = new QSpinBox(GroupWeb);
    ePort->setObjectName(QStringLiteral("ePort"));
    ePort->setGeometry(200, 20, 89, 26);
    ePort->setRange(ProgramSettings::kFirstPort, ProgramSettings::kLastPort);
    ePort->setValue(ProgramSettings::kDefaultWebBoardPort);
    // Each port typed on the way to the wanted one would restart the server.
    ePort->setKeyboardTracking(false);
    lblPort->setBuddy(ePort);
}

void TWebBoardTab::buildAllowRow()
{
    lblWebAllow = new QLabel(QStringLiteral("Кому:"), GroupWeb);
    lblWebAllow->setObjectName(QStringLiteral("lblWebAllow"));
    lblWebAllow->setGeometry(8, 50, 44, 22);
    eWebAllow = new QLineEdit(GroupWeb);
    eWebAllow->setObjectName(QStringLiteral("eWebAllow"));
    eWebAllow->setGeometry(56, 48, 233, 26);
    eWebAllow->setPlaceholderText(QStringLiteral("своя сеть (10/8, 192.168/16, …)"));
    eWebAllow->setToolTip(QStringLiteral("Адреса, которым видно табло: сети через запятую, например 192.168.1.0/24"));
    lblWebAllow->setBuddy(eWebAllow);
}

void TWebBoardTab::buildAddressPart()
{
    lblWebStatus = new QLabel(GroupWeb);
    lblWebStatus->setObjectName(QStringLiteral("lblWebStatus"));
    lblWebStatus->setGeometry(8, kStatusTop, 281, 18);
    lblWebStatus->setTextFormat(Qt::PlainText);

    lblWebAddress = new QLabel(GroupWeb);
    lblWebAddress->setObjectName(QStringLiteral("lblWebAddress"));
    lblWebAddress->setGeometry(8, kStatusTop + 20, 281, kQrTop - kStatusTop - 20 - 2);
    lblWebAddress->setTextFormat(Qt::PlainText);
    lblWebAddress->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The operator copies an address into a message or a browser.
    lblWebAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont small = lblWebAddress->font();
    small.setPixelSize(kAddressFontPixels);
    lblWebAddress->setFont(small);

    imgWebQr = new QLabel(GroupWeb);
    imgWebQr->setObjectName(QStringLiteral("imgWebQr"));
    imgWebQr->setGeometry(8, kQrTop, 281, kHeight - kQrTop - 6);
    imgWebQr->setAlignment(Qt::AlignCenter);
}

void TWebBoardTab::follow(WebBoardLine &line)
{
    showSwitchedOn(line.switchedOn());
    showPort(line.port());
    showAllowedRanges(line.allowedRanges());
    showAddresses(line.addressLines());
    showQrCode(line.qrText());
    showStatus(line.statusText(), line.statusIsError());
    showAddressesVisible(line.addressesVisible());

    connect(cbWebBoard, &QCheckBox::toggled, &line, &WebBoardLine::switchOn);
    connect(ePort, &QSpinBox::valueChanged, &line, &WebBoardLine::choosePort);
    connect(&line, &WebBoardLine::switchedOnChanged, this, &TWebBoardTab::showSwitchedOn);
    connect(&line, &WebBoardLine::portChanged, this, &TWebBoardTab::showPort);
    // The list counts once the operator leaves the field or presses Enter, not at each key.
    connect(eWebAllow, &QLineEdit::editingFinished, &line, [this, &line] { line.chooseAllowedRanges(eWebAllow->text()); });
    connect(&line, &WebBoardLine::allowedRangesChanged, this, &TWebBoardTab::showAllowedRanges);
    connect(&line, &WebBoardLine::addressLinesChanged, this, &TWebBoardTab::showAddresses);
    connect(&line, &WebBoardLine::qrTextChanged, this, &TWebBoardTab::showQrCode);
    connect(&line, &WebBoardLine::statusChanged, this, &TWebBoardTab::showStatus);
    connect(&line, &WebBoardLine::addressesVisibleChanged, this, &TWebBoardTab::showAddressesVisible);
}

void TWebBoardTab::showAllowedRanges(const QString &ranges)
{
    if (eWebAllow->text() != ranges)
        eWebAllow->setText(ranges);
}

void TWebBoardTab::showSwitchedOn(bool on)
{
    cbWebBoard->setChecked(on);
}

void TWebBoardTab::showPort(int port)
{
    ePort->setValue(port);
}

void TWebBoardTab::showAddresses(const QStringList &lines)
{
    lblWebAddress->setText(lines.join(QLatin1Char('\n')));
}

void TWebBoardTab::showQrCode(const QString &text)
{
    const QrCode code = encodeQrCode(text);
    if (code.isEmpty()) {
        imgWebQr->clear();
        return;
    }
    const int room = std::min(imgWebQr->width(), imgWebQr->height());
    imgWebQr->setPixmap(QPixmap::fromImage(drawQrCode(code, qrModuleSizeToFit(code, room))));
}

void TWebBoardTab::showStatus(const QString &text, bool isError)
{
    lblWebStatus->setText(text);
    // A palette of its own only for the error: otherwise the label keeps the group's colour.
    QPalette palette;
    if (isError)
        palette.setColor(QPalette::WindowText, Qt::red);
    lblWebStatus->setPalette(palette);
}

void TWebBoardTab::showAddressesVisible(bool visible)
{
    lblWebAddress->setVisible(visible);
    imgWebQr->setVisible(visible);
}
