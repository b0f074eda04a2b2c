#include "SettingsStore.h"

#include "ErrorBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSettings>
#include <QTemporaryFile>

struct SettingsStore::Location
{
    QString organization;
    QString application;
    QString group;
};

namespace {

QString formatErrorMessage(const QString &filePath, const QString &badPath)
{
    return QCoreApplication::translate("SettingsStore",
                                       "The settings file \"%1\" could not be read. It has been kept as "
                                       "\"%2\" and the program starts with its default settings.")
        .arg(filePath, badPath);
}

} // namespace

SettingsStore::Location SettingsStore::locate(const QString &keyPath)
{
    QStringList parts = keyPath.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    Location location;
    location.organization = parts.value(0, QStringLiteral("Marrowgate"));
    location.application = parts.value(1, QStringLiteral("corvane"));
    location.group = parts.mid(2).join(QLatin1Char('/'));
    return location;
}

QString SettingsStore::filePathFor(const QString &keyPath)
{
    const Location location = locate(keyPath);
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, location.organization, location.application)
        .fileName();
}

// Qt keeps parsed settings files in a cache and reports a parse error only to the object
// that read the file, so the check parses a private copy under a name never seen before.
bool SettingsStore::fileParses(const QString &filePath)
{
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return true; // unreadable is not unparsable; the store reports what it cannot do later
    QTemporaryFile copy(QDir::tempPath() + QStringLiteral("/corvane-settings-XXXXXX.conf"));
    if (!copy.open() || copy.write(file.readAll()) < 0 || !copy.flush())
        return true;
    copy.close();
    QSettings probe(copy.fileName(), QSettings::IniFormat);
    probe.allKeys(); // the file is parsed on first use, not on construction
    return probe.status() != QSettings::FormatError;
}

bool SettingsStore::setAsideIfUnreadable(const QString &filePath)
{
    if (!QFileInfo(filePath).isFile() || fileParses(filePath))
        return false;
    const QString badPath = filePath + QStringLiteral(".bad");
    QFile::remove(badPath);
    QFile::rename(filePath, badPath);

    static QSet<QString> told;
    if (!told.contains(filePath)) {
        told.insert(filePath);
        ErrorBox::show(formatErrorMessage(filePath, badPath));
    }
    return true;
}

std::unique_ptr<SettingsStore> SettingsStore::open(const QString &keyPath, Mode mode)
{
    const Location location = locate(keyPath);
    const QString path = filePathFor(keyPath);
    const bool setAside = setAsideIfUnreadable(path);
    if (mode == Mode::OpenExisting && (setAside || !QFileInfo::exists(path)))
        return nullptr;

    auto settings = std::make_unique<QSettings>(path, QSettings::NativeFormat);
    if (!location.group.isEmpty()) {
        if (mode == Mode::OpenExisting) {
            const QStringList groups = location.group.split(QLatin1Char('/'));
            for (const QString &group : groups) {
                if (!settings->childGroups().contains(group))
                    return nullptr;
                settings->beginGroup(group);
            }
        } else {
            settings->beginGroup(location.group);
        }
    }
    return std::unique_ptr<SettingsStore>(new SettingsStore(std::move(settings)));
}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings)
    : m_settings(std::move(settings))
{
}

SettingsStore::~SettingsStore() = default;

bool SettingsStore::readInteger(const QString &name, int &value) const
{
    const QVariant stored = m_settings->value(name);
    if (!stored.isValid() || stored.typeId() == QMetaType::QStringList)
        return false;
    bool ok = false;
    const int parsed = stored.toString().trimmed().toInt(&ok);
    if (ok)
        value = parsed;
    return ok;
}

bool SettingsStore::readBool(const QString &name, bool &value) const
{
    int stored = 0;
    if (!readInteger(name, stored))
        return false;
    value = stored != 0;
    return true;
}

bool SettingsStore::readString(const QString &name, QString &value) const
{
    const QVariant stored = m_settings->value(name);
    if (!stored.isValid() || stored.typeId() != QMetaType::QString)
        return false;
    value = stored.toString();
    return true;
}

bool SettingsStore::hasValue(const QString &name) const
{
    return m_settings->contains(name);
}

QStringList SettingsStore::valueNames() const
{
    return m_settings->childKeys();
}

void SettingsStore::noteWrite(const QString &name)
{
    if (m_firstWritten.isEmpty())
        m_firstWritten = name;
}

void SettingsStore::writeInteger(const QString &name, int value)
{
    noteWrite(name);
    m_settings->setValue(name, value);
}

void SettingsStore::writeBool(const QString &name, bool value)
{
    writeInteger(name, value ? 1 : 0);
}

void SettingsStore::writeString(const QString &name, const QString &value)
{
    noteWrite(name);
    m_settings->setValue(name, value);
}

void SettingsStore::remove(const QString &name)
{
    m_settings->remove(name);
}

void SettingsStore::clear()
{
    m_settings->remove(QString());
}

bool SettingsStore::commit()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString SettingsStore::filePath() const
{
    return m_settings->fileName();
}
