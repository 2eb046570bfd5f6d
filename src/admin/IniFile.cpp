#include "admin/IniFile.h"

#include "common/CodePage.h"
#include "common/Platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringDecoder>

namespace fenwa::admin {

IniWriteError::IniWriteError(const QString &path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString())
    , path_(path)
    , message_(QStringLiteral("Unable to write to %1").arg(path))
{
}

namespace {

// A lock on an open QFile for the duration of one access.
class FileLock {
public:
    FileLock(QFile &file, bool exclusive) : fd_(file.handle()) { platform::lockFile(fd_, exclusive); }
    ~FileLock() { platform::unlockFile(fd_); }

private:
    int fd_;
};

QStringList splitLines(const QByteArray &bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (utf8.hasError()) {
        // Older files were written in the Windows code page.
        text = decode(CodePage::Windows1250, data);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// "[name]" -> name; otherwise a null string.
QString sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('[')))
        return {};
    const int close = t.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    QString name = t.mid(1, close - 1).trimmed();
    if (name.isNull())
        name = QStringLiteral("");
    return name;
}

bool isKeyLine(const QString &line, QString *key, QString *value)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return false;
    const QString k = line.left(eq).trimmed();
    if (k.isEmpty() || k.startsWith(QLatin1Char(';')) || k.startsWith(QLatin1Char('[')))
        return false;
    if (key)
        *key = k;
    if (value) {
        QString v = line.mid(eq + 1).trimmed();
        if (v.size() >= 2 && v.startsWith(QLatin1Char('"')) && v.endsWith(QLatin1Char('"')))
            v = v.mid(1, v.size() - 2);
        *value = v;
    }
    return true;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// First line of the first section with that name (the header), or -1.
int findSection(const QStringList &lines, const QString &section)
{
    for (int i = 0; i < lines.size(); ++i) {
        const QString name = sectionName(lines[i]);
        if (!name.isNull() && sameName(name, section))
            return i;
    }
    return -1;
}

// One past the last line belonging to the section whose header is at `header`.
int sectionEnd(const QStringList &lines, int header)
{
    int i = header + 1;
    while (i < lines.size() && sectionName(lines[i]).isNull())
        ++i;
    return i;
}

int findKey(const QStringList &lines, int header, const QString &key)
{
    const int end = sectionEnd(lines, header);
    QString k;
    for (int i = header + 1; i < end; ++i)
        if (isKeyLine(lines[i], &k, nullptr) && sameName(k, key))
            return i;
    return -1;
}

bool parseInteger(const QString &text, int *out)
{
    QString t = text.trimmed();
    bool ok = false;
    int v = 0;
    if (t.startsWith(QLatin1Char('$')))
        v = t.mid(1).toInt(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        v = t.mid(2).toInt(&ok, 16);
    else
        v = t.toInt(&ok, 10);
    if (ok && t.contains(QLatin1Char(' ')))
        ok = false;
    if (ok)
        *out = v;
    return ok;
}

void setKey(QStringList &lines, const QString &section, const QString &key, const QString &value)
{
    int header = findSection(lines, section);
    if (header < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QStringLiteral("[%1]").arg(section);
        lines << key + QLatin1Char('=') + value;
        return;
    }
    const int at = findKey(lines, header, key);
    if (at >= 0) {
        QString existing;
        isKeyLine(lines[at], &existing, nullptr);
        lines[at] = existing + QLatin1Char('=') + value;
        return;
    }
    // After the last non-blank line of the section.
    int insertAt = sectionEnd(lines, header);
    while (insertAt > header + 1 && lines[insertAt - 1].trimmed().isEmpty())
        --insertAt;
    lines.insert(insertAt, key + QLatin1Char('=') + value);
}

void removeSection(QStringList &lines, const QString &section)
{
    int header;
    while ((header = findSection(lines, section)) >= 0) {
        const int end = sectionEnd(lines, header);
        lines.erase(lines.begin() + header, lines.begin() + end);
    }
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

QString IniFile::pathFor(const QString &executable, const QString &userConfigFolder)
{
    const QFileInfo exe(executable);
    const QString beside = exe.absolutePath() + QLatin1Char('/') + exe.completeBaseName() + QStringLiteral(".ini");
    const QFileInfo file(beside);
    if (file.exists() || QFileInfo(exe.absolutePath()).isWritable())
        return beside;
    return QDir(userConfigFolder).filePath(exe.completeBaseName() + QStringLiteral(".ini"));
}

QString IniFile::defaultPath()
{
    const QString env = qEnvironmentVariable("FENWA5_INI");
    if (!env.isEmpty())
        return env;
    QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (config.isEmpty())
        config = QDir::homePath() + QStringLiteral("/.config");
    return pathFor(QCoreApplication::applicationFilePath(), config + QStringLiteral("/fenwa5"));
}

QStringList IniFile::load() const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes;
    {
        FileLock lock(file, false);
        bytes = file.readAll();
    }
    return splitLines(bytes);
}

template <typename Edit> void IniFile::modify(Edit edit)
{
    const QFileInfo info(path_);
    if (!info.absoluteDir().exists())
        QDir().mkpath(info.absolutePath());
    // The lock is held on the settings file itself for the whole
    // read-modify-write. A writer that waited on a file that another writer
    // has replaced meanwhile locks the new one instead.
    QFile file(path_);
    for (;;) {
        if (!file.open(QIODevice::ReadWrite) || !platform::lockFile(file.handle(), true))
            throw IniWriteError(path_);
        if (platform::isSameFile(file.handle(), path_))
            break;
        file.close();
    }
    QStringList lines = splitLines(file.readAll());
    edit(lines);
    QByteArray out;
    for (const QString &line : lines) {
        out += line.toUtf8();
        out += "\r\n";
    }
    // The new contents go to a file beside it, reach the disk, and replace the
    // old file in one step: a failed write leaves the previous file whole.
    // Only a folder that cannot take a new file has the file written in place.
    QSaveFile save(path_);
    save.setDirectWriteFallback(true);
    if (!save.open(QIODevice::WriteOnly) || save.write(out) != out.size() || !save.commit())
        throw IniWriteError(path_);
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const QStringList lines = load();
    const int header = findSection(lines, section);
    if (header < 0)
        return def;
    const int at = findKey(lines, header, key);
    if (at < 0)
        return def;
    QString value;
    isKeyLine(lines[at], nullptr, &value);
    return value;
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    const QString text = readString(section, key, QString());
    int v = def;
    if (text.isEmpty() || !parseInteger(text, &v))
        return def;
    return v;
}

bool IniFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

bool IniFile::sectionExists(const QString &section) const
{
    return findSection(load(), section) >= 0;
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    const QStringList lines = load();
    const int header = findSection(lines, section);
    return header >= 0 && findKey(lines, header, key) >= 0;
}

QStringList IniFile::readSection(const QString &section) const
{
    QStringList keys;
    for (const auto &kv : readSectionValues(section))
        keys << kv.first;
    return keys;
}

IniFile::KeyValues IniFile::readSectionValues(const QString &section) const
{
    const QStringList lines = load();
    KeyValues out;
    const int header = findSection(lines, section);
    if (header < 0)
        return out;
    const int end = sectionEnd(lines, header);
    QString k, v;
    for (int i = header + 1; i < end; ++i) {
        if (!isKeyLine(lines[i], &k, &v))
            continue;
        bool seen = false;
        for (const auto &kv : out)
            seen = seen || sameName(kv.first, k);
        if (!seen)
            out.push_back({k, v});
    }
    return out;
}

QStringList IniFile::sections() const
{
    QStringList out;
    for (const QString &line : load()) {
        const QString name = sectionName(line);
        if (name.isNull())
            continue;
        bool seen = false;
        for (const QString &s : out)
            seen = seen || sameName(s, name);
        if (!seen)
            out << name;
    }
    return out;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // A line break in a value would start a new line of the file.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    modify([&](QStringList &lines) { setKey(lines, section, key, flat); });
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    modify([&](QStringList &lines) {
        const int header = findSection(lines, section);
        if (header < 0)
            return;
        int at;
        while ((at = findKey(lines, header, key)) >= 0)
            lines.removeAt(at);
    });
}

void IniFile::eraseSection(const QString &section)
{
    modify([&](QStringList &lines) { removeSection(lines, section); });
}

void IniFile::replaceSection(const QString &section, const KeyValues &values)
{
    modify([&](QStringList &lines) {
        removeSection(lines, section);
        if (values.isEmpty())
            return;
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QString();
        lines << QStringLiteral("[%1]").arg(section);
        for (const auto &kv : values) {
            QString v = kv.second;
            v.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
            lines << kv.first + QLatin1Char('=') + v;
        }
    });
}

} // namespace fenwa::admin
