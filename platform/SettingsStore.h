#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QSettings;

// The settings store, addressed by key paths of the form "\Software\<Org>\<App>[\<sub>...]".
// Each organisation/application pair is one settings file (on Linux
// ~/.config/<Org>/<App>.conf); sub keys are groups inside that file.
//
// A read fails when the value is missing or does not convert to the wanted type. Writes are
// collected in a private working copy and reach the disk in one atomic step on commit(), so
// a failed save leaves the previous file as it was.
class SettingsStore
{
public:
    enum class Mode { OpenExisting, Create };

    // Opens the key. With OpenExisting, returns null when the key does not exist. A file that
    // exists but cannot be parsed is set aside as <file>.bad, or <file>.bad.1 and so on when
    // that is taken (the operator is told once per run, without waiting for an answer), and
    // the key then counts as missing.
    static std::unique_ptr<SettingsStore> open(const QString &keyPath, Mode mode);
    ~SettingsStore();

    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    bool readInteger(const QString &name, int &value) const;
    bool readBool(const QString &name, bool &value) const;
    bool readString(const QString &name, QString &value) const;
    bool hasValue(const QString &name) const;
    QStringList valueNames() const;

    void writeInteger(const QString &name, int value);
    void writeBool(const QString &name, bool value);
    void writeString(const QString &name, const QString &value);
    void remove(const QString &name);
    // Deletes this key's values and all its sub keys.
    void clear();

    // Reads and writes go to the sub key `name` of the present key until leaveSubKey().
    void enterSubKey(const QString &name);
    void leaveSubKey();

    // Writes everything to disk. On failure returns false and leaves the file untouched;
    // errorString() then gives the file's path and the system's reason.
    bool commit();
    QString errorString() const { return m_error; }

    QString filePath() const;

    // Where the file of a key path lies, whether or not it exists.
    static QString filePathFor(const QString &keyPath);

private:
    struct Location;
    SettingsStore(std::unique_ptr<QSettings> settings, const QString &filePath, const QString &scratchPath);
    static QString makeScratchCopy(const QString &filePath);
    static QString setAsidePathFor(const QString &filePath);
    bool writtenCompletely() const;
    static Location locate(const QString &keyPath);
    static bool fileParses(const QString &filePath);
    static bool setAsideIfUnreadable(const QString &filePath);

    std::unique_ptr<QSettings> m_settings;
    QString m_filePath;
    QString m_scratchPath; // empty when no working copy could be made
    QString m_error;
    bool m_dirty = false;
};
