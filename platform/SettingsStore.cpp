#include "SettingsStore.h"

#include "content/AtomicFile.h"
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
                                       "Файл настроек не читается, поэтому программа начала работу с настройками "
                                       "по умолчанию. Введите курсы и тексты заново; прежний файл "
                                       "сохранён как «%2» для разбора.\n«%1»")
        .arg(filePath, badPath);
}

// Settings parsed afresh from a private copy of a file's bytes. Qt keeps parsed files in a
// cache and reports a parse error only to the object that first read the file, so the copy
// gets a name never seen before. Null when the file cannot be read or copied.
class FreshParse
{
public:
    explicit FreshParse(const QString &filePath)
        : m_copy(QDir::tempPath() + QStringLiteral("/corvane-settings-XXXXXX.conf"))
    {
        QFile file(filePath);
        if (!file.open(QIODevice::ReadOnly) || !m_copy.open() || m_copy.write(file.readAll()) < 0 || !m_copy.flush())
            return;
        m_copy.close();
        m_settings = std::make_unique<QSettings>(m_copy.fileName(), QSettings::IniFormat);
        m_settings->allKeys(); // the file is parsed on first use, not on construction
    }
    QSettings *settings() const { return m_settings.get(); }

private:
    QTemporaryFile m_copy;
    std::unique_ptr<QSettings> m_settings;
};

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

bool SettingsStore::fileParses(const QString &filePath)
{
    const FreshParse parse(filePath);
    // Unreadable is not unparsable: the store reports what it cannot do when it does it.
    return !parse.settings() || parse.settings()->status() != QSettings::FormatError;
}

// An earlier set-aside file is never overwritten: later ones are numbered.
QString SettingsStore::setAsidePathFor(const QString &filePath)
{
    QString badPath = filePath + QStringLiteral(".bad");
    for (int number = 1; QFileInfo::exists(badPath); ++number)
        badPath = filePath + QStringLiteral(".bad.%1").arg(number);
    return badPath;
}

bool SettingsStore::setAsideIfUnreadable(const QString &filePath)
{
    if (!QFileInfo(filePath).isFile() || fileParses(filePath))
        return false;
    const QString badPath = setAsidePathFor(filePath);
    QFile::rename(filePath, badPath);

    // Told without waiting for an answer: the program starts and stops the same.
    static QSet<QString> told;
    if (!told.contains(filePath)) {
        told.insert(filePath);
        ErrorBox::notify(formatErrorMessage(filePath, badPath));
    }
    return true;
}

// The store collects its writes in a private working copy away from the settings file and
// puts the whole text in the file's place only on commit.
QString SettingsStore::makeScratchCopy(const QString &filePath)
{
    QTemporaryFile scratch(QDir::tempPath() + QStringLiteral("/corvane-store-XXXXXX.conf"));
    scratch.setAutoRemove(false);
    if (!scratch.open())
        return QString();
    QFile current(filePath);
    if (current.open(QIODevice::ReadOnly) && scratch.write(current.readAll()) < 0) {
        scratch.remove();
        return QString();
    }
    scratch.close();
    return scratch.fileName();
}

std::unique_ptr<SettingsStore> SettingsStore::open(const QString &keyPath, Mode mode)
{
    const Location location = locate(keyPath);
    const QString path = filePathFor(keyPath);
    const bool setAside = setAsideIfUnreadable(path);
    if (mode == Mode::OpenExisting && (setAside || !QFileInfo::exists(path)))
        return nullptr;

    const QString scratch = makeScratchCopy(path);
    auto settings = std::make_unique<QSettings>(scratch.isEmpty() ? path : scratch, QSettings::NativeFormat);
    std::unique_ptr<SettingsStore> store(new SettingsStore(std::move(settings), path, scratch));
    if (!location.group.isEmpty()) {
        if (mode == Mode::OpenExisting) {
            const QStringList groups = location.group.split(QLatin1Char('/'));
            for (const QString &group : groups) {
                if (!store->m_settings->childGroups().contains(group))
                    return nullptr;
                store->m_settings->beginGroup(group);
            }
        } else {
            store->m_settings->beginGroup(location.group);
        }
    }
    return store;
}

SettingsStore::SettingsStore(std::unique_ptr<QSettings> settings, const QString &filePath, const QString &scratchPath)
    : m_settings(std::move(settings))
    , m_filePath(filePath)
    , m_scratchPath(scratchPath)
{
}

SettingsStore::~SettingsStore()
{
    // Writes that were never committed do not reach the settings file.
    m_settings.reset();
    if (!m_scratchPath.isEmpty())
        QFile::remove(m_scratchPath);
}

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

void SettingsStore::writeInteger(const QString &name, int value)
{
    m_dirty = true;
    m_settings->setValue(name, value);
}

void SettingsStore::writeBool(const QString &name, bool value)
{
    writeInteger(name, value ? 1 : 0);
}

void SettingsStore::writeString(const QString &name, const QString &value)
{
    m_dirty = true;
    m_settings->setValue(name, value);
}

void SettingsStore::remove(const QString &name)
{
    m_dirty = true;
    m_settings->remove(name);
}

void SettingsStore::clear()
{
    m_dirty = true;
    m_settings->remove(QString());
}

void SettingsStore::enterSubKey(const QString &name)
{
    m_settings->beginGroup(name);
}

void SettingsStore::leaveSubKey()
{
    m_settings->endGroup();
}

bool SettingsStore::commit()
{
    m_error.clear();
    if (!m_dirty)
        return true;
    if (m_scratchPath.isEmpty()) {
        m_error = QCoreApplication::translate("SettingsStore", "не удалось создать рабочую копию в %2 (%1)")
                      .arg(m_filePath, QDir::tempPath());
        return false;
    }
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError || !writtenCompletely()) {
        m_error = QCoreApplication::translate("SettingsStore", "рабочая копия не записалась: %1")
                      .arg(m_scratchPath);
        return false;
    }
    const QByteArray bytes = readWhole(m_scratchPath);
    // The same text again leaves the file, its time and the disk alone.
    if (QFileInfo(m_filePath).isFile() && readWhole(m_filePath) == bytes) {
        m_dirty = false;
        return true;
    }
    m_error = AtomicFile::replace(m_filePath, bytes);
    m_dirty = !m_error.isEmpty();
    return m_error.isEmpty();
}

// A full disk can cut the written file short without an error from the writer, so what is
// on disk is read back and compared with what should be there.
bool SettingsStore::writtenCompletely() const
{
    const FreshParse parse(m_scratchPath);
    const QSettings *onDisk = parse.settings();
    const QSettings expected(m_scratchPath, QSettings::NativeFormat);
    const QStringList keys = expected.allKeys();
    if (!onDisk || onDisk->status() != QSettings::NoError || onDisk->allKeys() != keys)
        return false;
    // The file holds text only: a number written comes back as its digits.
    const auto asText = [](const QVariant &value) {
        return value.typeId() == QMetaType::QStringList ? value.toStringList() : QStringList{value.toString()};
    };
    for (const QString &key : keys) {
        if (asText(onDisk->value(key)) != asText(expected.value(key)))
            return false;
    }
    return true;
}

QString SettingsStore::filePath() const
{
    return m_filePath;
}
