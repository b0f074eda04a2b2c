#include "StoredSettings.h"

#include "HistoryList.h"
#include "ProgramSettings.h"
#include "SettingsStore.h"
#include "content/CommaText.h"

namespace {

const char *const kProportionNames[Proportions::kCount] = {"ProTop", "ProBot", "ProTit", "ProTitL", "ProName", "ProTit2"};

bool readGuardedGroup(ProgramSettings &settings, const SettingsStore &store, StoredWindowPosition &position)
{
    int value = 0;
    if (!store.readInteger(QStringLiteral("Left"), value))
        return false;
    position.left = value;
    if (!store.readInteger(QStringLiteral("Top"), value))
        return false;
    position.top = value;

    // A missing title text reads as empty; only a value of another type ends the group.
    QString fileName;
    if (store.hasValue(QStringLiteral("FileName")) && !store.readString(QStringLiteral("FileName"), fileName))
        return false;
    settings.setFileName(fileName);

    if (!store.readInteger(QStringLiteral("TitleMode"), value))
        return false;
    settings.setTitleMode(value);
    bool tv = false;
    if (!store.readBool(QStringLiteral("TV"), tv))
        return false;
    settings.setTV(tv);
    for (int tag = 0; tag < Proportions::kCount; ++tag) {
        if (!store.readInteger(QLatin1String(kProportionNames[tag]), value))
            return false;
        settings.setProportion(tag, value);
    }
    if (!store.readInteger(QStringLiteral("RsSpeed"), value))
        return false;
    settings.setRunSpeed(value);
    return true;
}

// The web board came after the guarded group had its fixed order, so its values stand on
// their own: a file from before them, or one value gone bad, changes nothing else.
void readWebBoard(ProgramSettings &settings, const SettingsStore &store)
{
    bool on = false;
    if (store.readBool(QStringLiteral("WebBoard"), on))
        settings.setWebBoardOn(on);
    int port = 0;
    if (store.readInteger(QStringLiteral("WebPort"), port))
        settings.setWebBoardPort(port);
    QString allowed;
    if (store.readString(QStringLiteral("WebAllow"), allowed))
        settings.setWebBoardAllowed(allowed);
}

// The chain of offices came later still and stands on its own in the same way. The version
// is kept as text: it may outgrow the store's integers.
void readChain(ProgramSettings &settings, const SettingsStore &store)
{
    int role = 0;
    if (store.readInteger(QStringLiteral("ChainRole"), role))
        settings.setChainRole(role);
    const QList<std::pair<const char *, void (ProgramSettings::*)(const QString &)>> texts = {
        {"ChainUrl", &ProgramSettings::setChainUrl},       {"ChainId", &ProgramSettings::setChainId},
        {"ChainOffice", &ProgramSettings::setChainOffice}, {"ChainUser", &ProgramSettings::setChainUser},
        {"ChainPassword", &ProgramSettings::setChainPassword}, {"ChainCaFile", &ProgramSettings::setChainCaFile}};
    for (const auto &[name, setter] : texts) {
        QString value;
        if (store.readString(QLatin1String(name), value))
            (settings.*setter)(value);
    }
    QString version;
    if (store.readString(QStringLiteral("ChainVersion"), version))
        settings.setChainVersion(version.toLongLong());
}

void writeChain(const ProgramSettings &settings, SettingsStore &store)
{
    store.writeInteger(QStringLiteral("ChainRole"), settings.chainRole());
    store.writeString(QStringLiteral("ChainUrl"), settings.chainUrl());
    store.writeString(QStringLiteral("ChainId"), settings.chainId());
    store.writeString(QStringLiteral("ChainOffice"), settings.chainOffice());
    store.writeString(QStringLiteral("ChainUser"), settings.chainUser());
    store.writeString(QStringLiteral("ChainPassword"), settings.chainPassword());
    store.writeString(QStringLiteral("ChainCaFile"), settings.chainCaFile());
    store.writeString(QStringLiteral("ChainVersion"), QString::number(settings.chainVersion()));
}

QString fontRecordPrefix(int field)
{
    return QStringLiteral("F%1").arg(field);
}

// The history's sub key holds exactly the list: a shorter list leaves no stale entries.
void writeTitleHistory(const QStringList &history, SettingsStore &store)
{
    store.enterSubKey(kTitleHistoryKey);
    store.clear();
    HistoryList(history, int(history.size())).save(store);
    store.leaveSubKey();
}

} // namespace

const QString kTitleHistoryKey = QStringLiteral("Hi");

StoredWindowPosition readStoredSettings(ProgramSettings &settings, const SettingsStore &store)
{
    StoredWindowPosition position;
    readGuardedGroup(settings, store, position);
    // Each record is read onto the font the field has now; a failed read ends that record only.
    for (int field = 1; field <= ProgramSettings::kFontFields; ++field) {
        BoardFont font = settings.fontRecord(field);
        ReadFontRecord(store, fontRecordPrefix(field), font);
        settings.setFontRecord(field, font);
    }
    // A list stored as anything but text counts as no list.
    QString runningTexts;
    store.readString(QStringLiteral("RS"), runningTexts);
    settings.setRunningTexts(CommaText::read(runningTexts));
    QString table;
    if (store.readString(QStringLiteral("CorvaneFile"), table))
        settings.setRateTableText(table);
    else if (store.hasValue(QStringLiteral("CorvaneFile")))
        settings.keepStoredTable();
    readWebBoard(settings, store);
    readChain(settings, store);
    return position;
}

void writeStoredSettings(const ProgramSettings &settings, SettingsStore &store)
{
    const QRect bounds = settings.windowBounds();
    store.writeInteger(QStringLiteral("Left"), bounds.x());
    store.writeInteger(QStringLiteral("Top"), bounds.y());
    store.writeInteger(QStringLiteral("Width"), bounds.width());
    store.writeInteger(QStringLiteral("Height"), bounds.height());
    store.writeString(QStringLiteral("FileName"), settings.fileName());
    store.writeInteger(QStringLiteral("TitleMode"), settings.titleMode());
    store.writeBool(QStringLiteral("TV"), settings.tv());
    for (int tag = 0; tag < Proportions::kCount; ++tag)
        store.writeInteger(QLatin1String(kProportionNames[tag]), settings.proportions().at(tag));
    for (int field = 1; field <= ProgramSettings::kFontFields; ++field)
        WriteFontRecord(store, fontRecordPrefix(field), settings.fontRecord(field));
    if (!settings.keepsStoredTable())
        store.writeString(QStringLiteral("CorvaneFile"), settings.rateTableText());
    store.writeString(QStringLiteral("RS"), CommaText::write(settings.runningTexts()));
    store.writeInteger(QStringLiteral("RsSpeed"), settings.runSpeed());
    store.writeBool(QStringLiteral("WebBoard"), settings.webBoardOn());
    store.writeInteger(QStringLiteral("WebPort"), settings.webBoardPort());
    store.writeString(QStringLiteral("WebAllow"), settings.webBoardAllowed());
    writeChain(settings, store);
    writeTitleHistory(settings.titleHistory(), store);
}
