#pragma once
// The program's settings file: Windows INI syntax ([Section], key=value),
// sections and keys found without regard to letter case. Every access opens
// the file, reads or writes, and closes it again, so copies of the program
// that share the file see each other's changes at once. Each write holds an
// exclusive lock on the file for its read-modify-write and replaces the file
// in one step with a fully written new one, so a failed write (a full disk)
// leaves the previous file whole and readers never see half a write.
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <stdexcept>

namespace fenwa::admin {

// A write that could not be done; message() is "Unable to write to <path>".
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const QString &path);
    const QString &message() const { return message_; }
    const QString &path() const { return path_; }

private:
    QString path_;
    QString message_;
};

class IniFile {
public:
    using KeyValues = QVector<QPair<QString, QString>>;

    explicit IniFile(QString path);

    // Where the program's settings file lives: $FENWA5_INI when set; else the
    // executable's path + ".ini" when that folder can be written (or the file
    // there can); else "fenwa5.ini" in the user's configuration folder.
    static QString defaultPath();
    // The same rule for a given executable (tests).
    static QString pathFor(const QString &executable, const QString &userConfigFolder);

    const QString &path() const { return path_; }

    // Reading: a missing file, section or key gives the default. Of duplicate
    // sections or keys the first counts; lines that are neither are ignored.
    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    // A value that is not a whole integer (decimal, or hexadecimal with "0x"/"$")
    // gives the default.
    int readInteger(const QString &section, const QString &key, int def) const;
    // As an integer: any value other than 0 is true; not an integer: the default.
    bool readBool(const QString &section, const QString &key, bool def) const;
    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    QStringList readSection(const QString &section) const;        // keys, in file order
    KeyValues readSectionValues(const QString &section) const;    // key=value pairs, in file order
    QStringList sections() const;

    // Writing: throws IniWriteError when the file cannot be written.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);   // "1" / "0"
    void deleteKey(const QString &section, const QString &key);
    void eraseSection(const QString &section);
    // Erases the section and writes the pairs in the given order, in one locked write.
    void replaceSection(const QString &section, const KeyValues &values);

private:
    QStringList load() const;
    template <typename Edit> void modify(Edit edit);

    QString path_;
};

} // namespace fenwa::admin
