#include "WebBoardLine.h"

#include "platform/ProgramSettings.h"
#include "web/BoardAddresses.h"

const QString WebBoardLine::kStoppedText = QStringLiteral("Выключено");
const QString WebBoardLine::kListeningText = QStringLiteral("Работает");

WebBoardLine::WebBoardLine(QObject *parent)
    : WebBoardLine(machineAddresses, parent)
{
}

WebBoardLine::WebBoardLine(AddressSource addresses, QObject *parent)
    : QObject(parent)
    , m_addresses(std::move(addresses))
{
    m_shown.statusText = kStoppedText;
    connect(&programSettings(), &ProgramSettings::webBoardOnChanged, this, &WebBoardLine::followSwitch);
    connect(&programSettings(), &ProgramSettings::webBoardPortChanged, this, &WebBoardLine::followPort);
    connect(&programSettings(), &ProgramSettings::webBoardAllowedChanged, this, &WebBoardLine::allowedRangesChanged);
}

bool WebBoardLine::switchedOn() const
{
    return programSettings().webBoardOn();
}

int WebBoardLine::port() const
{
    return programSettings().webBoardPort();
}

QString WebBoardLine::allowedRanges() const
{
    return programSettings().webBoardAllowed();
}

void WebBoardLine::chooseAllowedRanges(const QString &ranges)
{
    programSettings().setWebBoardAllowed(ranges);
}

void WebBoardLine::startUp()
{
    if (m_started)
        return;
    m_started = true;
    if (switchedOn())
        requestStart();
}

void WebBoardLine::switchOn(bool on)
{
    programSettings().setWebBoardOn(on);
}

void WebBoardLine::choosePort(int port)
{
    programSettings().setWebBoardPort(port);
}

void WebBoardLine::serverListening(quint16 port)
{
    // A report that comes after the operator switched off is about a server on its way down.
    if (!switchedOn())
        return;
    show(State::Listening, {boardAddresses(m_addresses(), port), kListeningText, false});
}

void WebBoardLine::serverFailed(const QString &message)
{
    if (!switchedOn())
        return;
    show(State::Failed, {{}, message, true});
}

void WebBoardLine::serverStopped()
{
    // While a start is on its way, the stop is that of the old port; after a failure the
    // reason stays more telling than the stop.
    if (m_state == State::Listening)
        show(State::Stopped, {{}, kStoppedText, false});
}

void WebBoardLine::followSwitch(bool on)
{
    emit switchedOnChanged(on);
    if (!m_started)
        return;
    if (on)
        requestStart();
    else
        requestStop();
}

void WebBoardLine::followPort(int port)
{
    emit portChanged(port);
    if (!m_started || !switchedOn())
        return;
    show(State::Starting, {});
    emit stopRequested();
    requestStart();
}

void WebBoardLine::requestStart()
{
    show(State::Starting, {});
    emit startRequested(quint16(port()));
}

void WebBoardLine::requestStop()
{
    // Shown at once: a server that never listened has no stop to report.
    show(State::Stopped, {{}, kStoppedText, false});
    emit stopRequested();
}

void WebBoardLine::show(State state, const Shown &shown)
{
    const Shown before = m_shown;
    const QString qrBefore = qrText();
    const bool visibleBefore = addressesVisible();
    m_state = state;
    m_shown = shown;
    if (m_shown.addressLines != before.addressLines)
        emit addressLinesChanged(m_shown.addressLines);
    if (qrText() != qrBefore)
        emit qrTextChanged(qrText());
    if (m_shown.statusText != before.statusText || m_shown.statusIsError != before.statusIsError)
        emit statusChanged(m_shown.statusText, m_shown.statusIsError);
    if (addressesVisible() != visibleBefore)
        emit addressesVisibleChanged(addressesVisible());
}
