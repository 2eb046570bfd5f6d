#include "data/ParadoxTable.h"

#include "common/CodePage.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <paradox.h>
}

namespace fenwa::data {

namespace {

// Day 1 of the Paradox calendar (1 January of the year 1) is this Julian day + 1.
constexpr qint64 julianDayBeforeFirst = 1721425;

quint16 word(const QByteArray &b, int at)
{
    return quint16(quint8(b[at])) | quint16(quint8(b[at + 1])) << 8;
}

bool knownType(int code)
{
    switch (code) {
    case pxfAlpha: case pxfDate: case pxfShort: case pxfLong: case pxfCurrency: case pxfNumber:
    case pxfLogical: case pxfMemoBLOb: case pxfBLOb: case pxfFmtMemoBLOb: case pxfOLE:
    case pxfGraphic: case pxfTime: case pxfTimestamp: case pxfAutoInc: case pxfBCD: case pxfBytes:
        return true;
    default:
        return false;
    }
}

ParadoxTable::Type typeOf(int code)
{
    using T = ParadoxTable::Type;
    switch (code) {
    case pxfAlpha: return T::Alpha;
    case pxfDate: return T::Date;
    case pxfShort: return T::Short;
    case pxfLong: return T::Long;
    case pxfCurrency: return T::Currency;
    case pxfNumber: return T::Number;
    case pxfLogical: return T::Logical;
    case pxfMemoBLOb: case pxfFmtMemoBLOb: return T::Memo;
    case pxfTime: return T::Time;
    case pxfTimestamp: return T::Timestamp;
    case pxfAutoInc: return T::AutoInc;
    case pxfBCD: return T::Bcd;
    case pxfBytes: return T::Bytes;
    default: return T::Binary;   // BLOb, OLE, graphic
    }
}

// pxlib reports its errors through this handler; the reader turns them into
// its own messages, so they are only kept, never printed.
void keepError(pxdoc_t *, int, const char *msg, void *data)
{
    if (data)
        *static_cast<QString *>(data) = QString::fromLocal8Bit(msg);
}

} // namespace

struct ParadoxTable::Doc {
    pxdoc_t *px = nullptr;
    QString lastError;
    CodePage page = CodePage::Windows1250;
    QByteArray bytes;              // the whole file, read once
    QVector<qint64> recordAt;      // offset of each record in `bytes`, in table order
    ~Doc()
    {
        if (px) {
            PX_close(px);
            PX_delete(px);
        }
    }
};

QString ParadoxTable::describe(const QString &problem) const
{
    return QStringLiteral("Plik %1 %2").arg(QDir::toNativeSeparators(path_), problem);
}

ParadoxTable::ParadoxTable(const QString &path, int codePage) : path_(path), doc_(std::make_unique<Doc>())
{
    // The header is checked here before pxlib reads the file: pxlib trusts
    // the sizes it finds and would read past the end of a file cut short.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        throw EngineError(describe(QStringLiteral("nie istnieje lub nie można go odczytać.")));
    const qint64 fileSize = file.size();
    const QByteArray head = file.read(0x78);
    file.close();
    const QString notTable = QStringLiteral("nie jest tabelą programu Paradox.");
    if (head.size() < 0x58)
        throw EngineError(describe(notTable));
    const int recordSize = word(head, 0x00);
    const int headerSize = word(head, 0x02);
    const int fileType = quint8(head[0x04]);
    const int blockKb = quint8(head[0x05]);
    const quint32 records = word(head, 0x06) | quint32(word(head, 0x08)) << 16;
    const int blocks = word(head, 0x0C);
    const int fieldCount = word(head, 0x21);
    const int version = quint8(head[0x39]);
    const bool blockKbValid = blockKb == 1 || blockKb == 2 || blockKb == 3 || blockKb == 4 || blockKb == 8
        || blockKb == 16 || blockKb == 32;
    if ((fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB) || !blockKbValid
        || recordSize <= 0 || fieldCount <= 0 || fieldCount > 255 || version < 3 || version > 12
        || headerSize < 0x58)
        throw EngineError(describe(notTable));
    const qint64 blockSize = qint64(blockKb) * 0x400;
    const int fieldInfoAt = version >= 5 ? 0x78 : 0x58;
    const qint64 recordsRoom = qint64(blocks) * ((blockSize - 6) / recordSize);
    if (headerSize > fileSize || qint64(headerSize) + qint64(blocks) * blockSize > fileSize
        || qint64(records) > recordsRoom || fieldInfoAt + 2 * fieldCount > headerSize)
        throw EngineError(describe(QStringLiteral("jest uszkodzony (ucięty lub niepełny).")));

    // Field types and sizes, read from the header before pxlib interprets them.
    QFile again(path);
    if (!again.open(QIODevice::ReadOnly))
        throw EngineError(describe(QStringLiteral("nie istnieje lub nie można go odczytać.")));
    doc_->bytes = again.readAll();
    again.close();
    const QByteArray header = doc_->bytes.left(headerSize);
    int sizes = 0;
    for (int i = 0; i < fieldCount; ++i) {
        const int code = quint8(header[fieldInfoAt + 2 * i]);
        if (!knownType(code))
            throw EngineError(describe(QStringLiteral("ma pole nieznanego typu (kod %1).").arg(code)));
        sizes += quint8(header[fieldInfoAt + 2 * i + 1]);
    }
    if (sizes != recordSize)
        throw EngineError(describe(QStringLiteral("jest uszkodzony (ucięty lub niepełny).")));

    doc_->px = PX_new3(keepError, nullptr, nullptr, nullptr, &doc_->lastError);
    if (!doc_->px)
        throw EngineError(describe(QStringLiteral("nie może być otwarty (brak pamięci).")));
    if (PX_open_file(doc_->px, QFile::encodeName(path).constData()) < 0)
        throw EngineError(describe(notTable));
    pxhead_t *h = doc_->px->px_head;
    if (!h || h->px_numfields != fieldCount || h->px_recordsize != recordSize)
        throw EngineError(describe(notTable));
    for (int i = 0; i < fieldCount; ++i) {
        const pxfield_t *f = PX_get_field(doc_->px, i);
        if (!f || !f->px_fname)
            throw EngineError(describe(notTable));
        fields_.append({QString::fromLatin1(f->px_fname), typeOf(quint8(f->px_ftype)), f->px_flen});
    }

    // The records, found by following the chain of data blocks from the
    // first (pxlib walks the chain again for every record it reads). Each
    // block starts with the next block's number, the previous one's and the
    // size of its records less one record.
    const QString damagedFile = describe(QStringLiteral("jest uszkodzony (błędny łańcuch bloków danych)."));
    QVector<bool> visited(blocks + 1, false);
    int block = word(head, 0x0E);
    while (records > 0 && block != 0) {
        if (block > blocks || visited[block])
            throw EngineError(damagedFile);
        visited[block] = true;
        const qint64 at = headerSize + qint64(block - 1) * blockSize;
        const int next = word(doc_->bytes, int(at));
        const int used = qint16(word(doc_->bytes, int(at + 4))) + recordSize;
        if (used < 0 || used > blockSize - 6 || used % recordSize != 0)
            throw EngineError(damagedFile);
        for (int r = 0; r < used / recordSize; ++r)
            doc_->recordAt.append(at + 6 + qint64(r) * recordSize);
        block = next;
    }
    if (doc_->recordAt.size() != qint64(records))
        throw EngineError(damagedFile);
    recordCount_ = int(records);

    codePage_ = codePage ? codePage : (h->px_doscodepage == 852 ? 852 : 1250);
    doc_->page = codePage_ == 852 ? CodePage::Ibm852 : CodePage::Windows1250;
}

ParadoxTable::~ParadoxTable() = default;

int ParadoxTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVector<QVariant> ParadoxTable::record(int recno) const
{
    pxdoc_t *px = doc_->px;
    if (recno < 0 || recno >= recordCount_)
        throw EngineError(describe(QStringLiteral("nie ma rekordu %1.").arg(recno + 1)));
    QByteArray data = doc_->bytes.mid(doc_->recordAt[recno], PX_get_recordsize(px));
    const QString damaged = describe(QStringLiteral("jest uszkodzony: błędna wartość w rekordzie %1.").arg(recno + 1));
    QVector<QVariant> values;
    values.reserve(fields_.size());
    char *at = data.data();
    for (const Field &f : fields_) {
        QVariant v;
        // A blank value is stored as zero bytes. pxlib 0.6.8 reports a blank
        // long integer (and date) as -2147483648, so blanks are told here.
        const bool blank = std::all_of(at, at + f.size, [](char c) { return c == 0; });
        if (!blank) switch (f.type) {
        case Type::Alpha: {
            // Raw bytes up to the first zero: pxlib converts no code page here.
            const int len = int(strnlen(at, size_t(f.size)));
            if (len > 0) {
                QString text = decode(doc_->page, QByteArray(at, len));
                while (text.endsWith(QLatin1Char(' ')))
                    text.chop(1);
                v = text;
            }
            break;
        }
        case Type::Short: {
            short s = 0;
            const int rc = PX_get_data_short(px, at, f.size, &s);
            if (rc < 0) throw EngineError(damaged);
            if (rc > 0) v = int(s);
            break;
        }
        case Type::Long: case Type::AutoInc: case Type::Date: case Type::Time: {
            long l = 0;
            const int rc = PX_get_data_long(px, at, f.size, &l);
            if (rc < 0) throw EngineError(damaged);
            if (rc > 0) {
                if (f.type == Type::Date)
                    v = QDate::fromJulianDay(julianDayBeforeFirst + l);
                else if (f.type == Type::Time)
                    v = QTime::fromMSecsSinceStartOfDay(int(l));
                else
                    v = int(l);
            }
            break;
        }
        case Type::Currency: case Type::Number: case Type::Timestamp: {
            double d = 0;
            const int rc = PX_get_data_double(px, at, f.size, &d);
            if (rc < 0 || !std::isfinite(d)) throw EngineError(damaged);
            if (rc > 0) {
                if (f.type == Type::Timestamp) {
                    const qint64 ms = qint64(std::llround(d));
                    const qint64 day = ms / 86400000;
                    const QDate date = QDate::fromJulianDay(julianDayBeforeFirst + day);
                    v = QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms % 86400000)));
                } else {
                    v = d;
                }
            }
            break;
        }
        case Type::Logical: {
            char b = 0;
            const int rc = PX_get_data_byte(px, at, f.size, &b);
            if (rc < 0) throw EngineError(damaged);
            if (rc > 0) v = b != 0;
            break;
        }
        case Type::Bcd: {
            char *text = nullptr;
            const int rc = PX_get_data_bcd(px, reinterpret_cast<unsigned char *>(at), f.size, &text);
            if (rc < 0) throw EngineError(damaged);
            if (rc > 0 && text) {
                v = QString::fromLatin1(text).toDouble();
                px->free(px, text);
            }
            break;
        }
        case Type::Memo: case Type::Binary: case Type::Bytes:
            break;   // never read: the memo file is not opened
        }
        values.append(v);
        at += f.size;
    }
    return values;
}

QString paradoxTypeName(ParadoxTable::Type type)
{
    using T = ParadoxTable::Type;
    switch (type) {
    case T::Alpha: return QStringLiteral("Alpha");
    case T::Date: return QStringLiteral("Date");
    case T::Short: return QStringLiteral("Short");
    case T::Long: return QStringLiteral("Long Integer");
    case T::Currency: return QStringLiteral("Money");
    case T::Number: return QStringLiteral("Number");
    case T::Logical: return QStringLiteral("Logical");
    case T::Memo: return QStringLiteral("Memo");
    case T::Binary: return QStringLiteral("Binary");
    case T::Time: return QStringLiteral("Time");
    case T::Timestamp: return QStringLiteral("TimeStamp");
    case T::AutoInc: return QStringLiteral("Autoincrement");
    case T::Bcd: return QStringLiteral("BCD");
    case T::Bytes: return QStringLiteral("Bytes");
    }
    return QString();
}

} // namespace fenwa::data

namespace fenwa::data {

FieldType engineType(ParadoxTable::Type type)
{
    using T = ParadoxTable::Type;
    switch (type) {
    case T::Short: case T::Long: return FieldType::Integer;
    case T::AutoInc: return FieldType::AutoInc;
    case T::Currency: case T::Number: case T::Bcd: return FieldType::Float;
    case T::Logical: return FieldType::Boolean;
    case T::Date: return FieldType::Date;
    case T::Timestamp: return FieldType::Timestamp;
    default: return FieldType::String;
    }
}

} // namespace fenwa::data
