#include "ChainTab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

namespace {

constexpr int kRowTop = 20;
constexpr int kRowStep = 28;
constexpr int kCaptionWidth = 96;
constexpr int kFieldLeft = 104;
constexpr int kFieldWidth = 185;
constexpr int kFieldRows = 7; // the role and six fields
constexpr int kStatusTop = kRowTop + kFieldRows * kRowStep;
constexpr int kStatusHeight = 34;
constexpr int kOfficesTop = kStatusTop + kStatusHeight + 4;

// The fields in the order of ChainLine::Field.
constexpr ChainLine::Field kFieldOrder[] = {ChainLine::Field::Url,  ChainLine::Field::Chain,    ChainLine::Field::Office,
                                            ChainLine::Field::User, ChainLine::Field::Password, ChainLine::Field::CaFile};

} // namespace

TChainTab::TChainTab(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ChainTab"));
    resize(kWidth, kHeight);
    GroupChain = new QGroupBox(QStringLiteral(" Сеть офисов "), this);
    GroupChain->setObjectName(QStringLiteral("GroupChain"));
    GroupChain->setGeometry(0, 0, kWidth, kHeight);

    auto *roleCaption = new QLabel(QStringLiteral("Роль:"), GroupChain);
    roleCaption->setGeometry(8, kRowTop, kCaptionWidth, 24);
    cbChainRole = new QComboBox(GroupChain);
    cbChainRole->setObjectName(QStringLiteral("cbChainRole"));
    cbChainRole->setGeometry(kFieldLeft, kRowTop, kFieldWidth, 24);
    cbChainRole->addItems(ChainLine::roleNames());
    roleCaption->setBuddy(cbChainRole);

    eChainUrl = addField("eChainUrl", QStringLiteral("Брокер:"), 1);
    eChainUrl->setPlaceholderText(QStringLiteral("mqtts://узел:8883"));
    eChainId = addField("eChainId", QStringLiteral("Сеть:"), 2);
    eChainOffice = addField("eChainOffice", QStringLiteral("Офис:"), 3);
    eChainUser = addField("eChainUser", QStringLiteral("Пользователь:"), 4);
    eChainPassword = addField("eChainPassword", QStringLiteral("Пароль:"), 5);
    eChainPassword->setEchoMode(QLineEdit::Password);
    eChainCaFile = addField("eChainCaFile", QStringLiteral("CA:"), 6);
    eChainCaFile->setPlaceholderText(QStringLiteral("CA системы"));

    lblChainStatus = new QLabel(GroupChain);
    lblChainStatus->setObjectName(QStringLiteral("lblChainStatus"));
    lblChainStatus->setGeometry(8, kStatusTop, kWidth - 16, kStatusHeight);
    lblChainStatus->setTextFormat(Qt::PlainText);
    lblChainStatus->setWordWrap(true);
    lblChainStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    lstChainOffices = new QListWidget(GroupChain);
    lstChainOffices->setObjectName(QStringLiteral("lstChainOffices"));
    lstChainOffices->setGeometry(8, kOfficesTop, kWidth - 16, kHeight - kOfficesTop - 8);
}

QLineEdit *TChainTab::addField(const char *name, const QString &caption, int row)
{
    auto *label = new QLabel(caption, GroupChain);
    label->setGeometry(8, kRowTop + row * kRowStep, kCaptionWidth, 24);
    auto *field = new QLineEdit(GroupChain);
    field->setObjectName(QLatin1String(name));
    field->setGeometry(kFieldLeft, kRowTop + row * kRowStep, kFieldWidth, 24);
    label->setBuddy(field);
    return field;
}

std::array<QLineEdit *, 6> TChainTab::fields() const
{
    return {eChainUrl, eChainId, eChainOffice, eChainUser, eChainPassword, eChainCaFile};
}

void TChainTab::follow(ChainLine &line)
{
    showRole(line.role());
    showFields(line);
    showStatus(line.statusText(), line.statusIsError());
    showOffices(line.officeLines());

    connect(cbChainRole, &QComboBox::activated, &line, &ChainLine::chooseRole);
    connect(&line, &ChainLine::roleChanged, this, [this, &line](int role) {
        showRole(role);
        showFields(line);
    });
    connect(&line, &ChainLine::fieldsChanged, this, [this, &line] { showFields(line); });
    connect(&line, &ChainLine::statusChanged, this, &TChainTab::showStatus);
    connect(&line, &ChainLine::officeLinesChanged, this, &TChainTab::showOffices);
    const std::array<QLineEdit *, 6> edits = fields();
    for (size_t i = 0; i < edits.size(); ++i) {
        QLineEdit *edit = edits[i];
        const ChainLine::Field field = kFieldOrder[i];
        connect(edit, &QLineEdit::editingFinished, &line, [edit, field, &line] { line.chooseField(field, edit->text()); });
    }
    lstChainOffices->setVisible(line.officesVisible());
}

void TChainTab::showRole(int role)
{
    cbChainRole->setCurrentIndex(role);
}

void TChainTab::showFields(const ChainLine &line)
{
    const std::array<QLineEdit *, 6> edits = fields();
    for (size_t i = 0; i < edits.size(); ++i) {
        if (edits[i]->text() != line.fieldText(kFieldOrder[i]))
            edits[i]->setText(line.fieldText(kFieldOrder[i]));
        edits[i]->setEnabled(line.connectionFieldsEnabled());
    }
    lstChainOffices->setVisible(line.officesVisible());
}

void TChainTab::showStatus(const QString &text, bool isError)
{
    lblChainStatus->setText(text);
    QPalette palette;
    if (isError)
        palette.setColor(QPalette::WindowText, Qt::red);
    lblChainStatus->setPalette(palette);
}

void TChainTab::showOffices(const QStringList &lines)
{
    lstChainOffices->clear();
    lstChainOffices->addItems(lines);
}
