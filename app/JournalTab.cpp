#include "app/JournalTab.h"

#include "platform/Dialogs.h"
#include "platform/ErrorBox.h"
#include "platform/JournalCsv.h"
#include "platform/JournalListModel.h"
#include "platform/RateOrderPdf.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

JournalTab::JournalTab(const QString &journalPath, OfficeSource office, DialogsSource dialogs, Clock clock, QWidget *parent)
    : QWidget(parent)
    , m_path(journalPath)
    , m_office(std::move(office))
    , m_dialogs(std::move(dialogs))
    , m_clock(std::move(clock))
    , m_filter(m_clock().date())
    , m_model(new JournalListModel(this))
{
    dateFrom = new QDateEdit(m_filter.from(), this);
    dateFrom->setObjectName(QStringLiteral("dateFrom"));
    dateTo = new QDateEdit(m_filter.to(), this);
    dateTo->setObjectName(QStringLiteral("dateTo"));
    for (QDateEdit *edit : {dateFrom, dateTo}) {
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        edit->setCalendarPopup(true);
        connect(edit, &QDateEdit::dateChanged, this, &JournalTab::filterChanged);
    }
    currency = new QComboBox(this);
    currency->setObjectName(QStringLiteral("currency"));
    connect(currency, &QComboBox::currentIndexChanged, this, &JournalTab::filterChanged);

    list = new QTableView(this);
    list->setObjectName(QStringLiteral("list"));
    list->setModel(m_model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->horizontalHeader()->setStretchLastSection(true);

    exportButton = new QPushButton(tr("Экспорт…"), this);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    connect(exportButton, &QPushButton::clicked, this, &JournalTab::exportClick);
    orderButton = new QPushButton(tr("Распоряжение…"), this);
    orderButton->setObjectName(QStringLiteral("orderButton"));
    connect(orderButton, &QPushButton::clicked, this, &JournalTab::orderClick);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(new QLabel(tr("С"), this), 0, 0);
    layout->addWidget(dateFrom, 0, 1);
    layout->addWidget(new QLabel(tr("по"), this), 0, 2);
    layout->addWidget(dateTo, 0, 3);
    layout->addWidget(currency, 1, 0, 1, 4);
    layout->addWidget(list, 2, 0, 1, 4);
    layout->addWidget(exportButton, 3, 0, 1, 2);
    layout->addWidget(orderButton, 3, 2, 1, 2);
}

JournalTab::~JournalTab()
{
    // The model's query goes before the connection it runs on.
    m_model->clear();
}

JournalReader *JournalTab::reader()
{
    // The journal may have been started or set aside since: a reader that failed tries again.
    if (!m_reader || !m_reader->error().isEmpty()) {
        m_model->clear();
        m_reader = std::make_unique<JournalReader>(m_path);
    }
    return m_reader->error().isEmpty() ? m_reader.get() : nullptr;
}

void JournalTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    refresh();
}

void JournalTab::fillCurrencies()
{
    const QString chosen = m_filter.currency();
    currency->clear();
    currency->addItem(tr("Все валюты"), QString());
    if (JournalReader *r = reader()) {
        for (const QString &code : r->currencies())
            currency->addItem(code, code);
    }
    currency->setCurrentIndex(std::max(0, currency->findData(chosen)));
}

void JournalTab::refresh()
{
    if (m_refreshing)
        return;
    m_refreshing = true;
    fillCurrencies();
    if (JournalReader *r = reader())
        m_model->select(r->database(), m_filter.selection());
    list->resizeColumnsToContents();
    m_refreshing = false;
}

void JournalTab::filterChanged()
{
    if (m_refreshing)
        return;
    m_filter.setFrom(dateFrom->date());
    m_filter.setTo(dateTo->date());
    m_filter.setCurrency(currency->currentData().toString());
    const QSignalBlocker blockFrom(dateFrom);
    const QSignalBlocker blockTo(dateTo);
    dateFrom->setDate(m_filter.from());
    dateTo->setDate(m_filter.to());
    refresh();
}

void JournalTab::exportClick()
{
    const std::optional<QString> path = m_dialogs().chooseExportFile(QDir::homePath(), QStringLiteral("csv"), this);
    if (!path)
        return;
    JournalReader *r = reader();
    if (!r) {
        ErrorBox::show(m_reader->error(), this);
        return;
    }
    const QVector<JournalEntry> entries = r->entries(m_filter.from(), m_filter.to(), m_filter.currency());
    if (const std::optional<QString> error = writeJournalCsv(entries, *path))
        ErrorBox::show(*error, this);
}

void JournalTab::orderClick()
{
    const std::optional<QDateTime> moment = m_dialogs().chooseMoment(m_clock(), this);
    if (!moment)
        return;
    JournalReader *r = reader();
    if (!r) {
        ErrorBox::show(m_reader->error(), this);
        return;
    }
    const std::optional<RatesInForce> rates = r->ratesAt(*moment);
    if (!rates) {
        ErrorBox::show(tr("На %1 журнал ещё не знает курсов.").arg(moment->toString(QStringLiteral("dd.MM.yyyy HH:mm"))), this);
        return;
    }
    const std::optional<QString> path = m_dialogs().chooseExportFile(QDir::homePath(), QStringLiteral("pdf"), this);
    if (!path)
        return;
    if (const std::optional<QString> error = writeRateOrderPdf({m_office(), *moment, *rates}, *path))
        ErrorBox::show(*error, this);
}
