#pragma once
// Writes sample Paradox tables with pxlib's own writer: the tests' fixtures
// of the previous program generation and of legacy data folders.
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QStringEncoder>
#include <QVariant>
#include <QVector>
#include <cstring>
#include <stdexcept>
#include <string>

extern "C" {
#include <paradox.h>
}

namespace fenwa::testing {

struct PxField {
    std::string name;
    char type;   // pxfAlpha, pxfLong, pxfLogical...
    int size;    // bytes in the record
};
using PxRow = QVector<QVariant>;

inline PxField pxAlpha(const char *name, int size) { return {name, pxfAlpha, size}; }
inline PxField pxAutoInc(const char *name) { return {name, pxfAutoInc, 4}; }
inline PxField pxLong(const char *name) { return {name, pxfLong, 4}; }
inline PxField pxShort(const char *name) { return {name, pxfShort, 2}; }
inline PxField pxNumber(const char *name) { return {name, pxfNumber, 8}; }
inline PxField pxMoney(const char *name) { return {name, pxfCurrency, 8}; }
inline PxField pxLogical(const char *name) { return {name, pxfLogical, 1}; }
inline PxField pxDate(const char *name) { return {name, pxfDate, 4}; }
inline PxField pxStamp(const char *name) { return {name, pxfTimestamp, 8}; }
inline PxField pxMemo(const char *name) { return {name, pxfMemoBLOb, 20}; }

// Days are counted from 1 January of the year 1 (day 1), as the Paradox
// engine does; timestamps in milliseconds from the same origin.
// Writes PATH with the fields and rows; text in the given code page (852 or
// 1250), which is also written to the header. A null QVariant is a blank value.
inline void writeParadox(const QString &path, const QVector<PxField> &fields, const QVector<PxRow> &rows,
                         int codePage = 1250)
{
    QFile::remove(path);
    pxdoc_t *px = PX_new();
    // pxlib takes the field list (and frees it on close): allocated by pxlib.
    auto *defs = static_cast<pxfield_t *>(px->malloc(px, sizeof(pxfield_t) * size_t(fields.size()), "fields"));
    for (int i = 0; i < fields.size(); ++i) {
        defs[i].px_fname = PX_strdup(px, fields[i].name.c_str());
        defs[i].px_ftype = fields[i].type;
        defs[i].px_flen = fields[i].size;
        defs[i].px_fdc = 0;
    }
    if (PX_create_file(px, defs, int(fields.size()), QFile::encodeName(path).constData(),
                       pxfFileTypNonIndexDB) < 0)
        throw std::runtime_error("PX_create_file failed");
    PX_set_value(px, "codepage", float(codePage));
    QStringEncoder encoder(codePage == 852 ? "IBM852" : "windows-1250");
    QByteArray record(PX_get_recordsize(px), '\0');
    for (const PxRow &row : rows) {
        record.fill('\0');
        char *at = record.data();
        for (int i = 0; i < fields.size(); ++i) {
            const QVariant &v = row.value(i);
            const PxField &f = fields[i];
            if (!v.isNull()) {
                switch (f.type) {
                case pxfAlpha: {
                    QByteArray bytes = encoder.encode(v.toString());
                    std::memcpy(at, bytes.constData(), size_t(std::min<qsizetype>(bytes.size(), f.size)));
                    break;
                }
                case pxfLong: case pxfAutoInc: PX_put_data_long(px, at, f.size, v.toInt()); break;
                case pxfShort: PX_put_data_short(px, at, f.size, short(v.toInt())); break;
                case pxfNumber: case pxfCurrency: PX_put_data_double(px, at, f.size, v.toDouble()); break;
                case pxfLogical: PX_put_data_byte(px, at, f.size, v.toBool() ? 1 : 0); break;
                case pxfDate: {
                    const QDate d = v.toDate();
                    PX_put_data_long(px, at, f.size, int(d.toJulianDay() - 1721425));
                    break;
                }
                case pxfTimestamp: {
                    const QDateTime t = v.toDateTime();
                    PX_put_data_double(px, at, f.size,
                                       double(t.date().toJulianDay() - 1721425) * 86400000.0
                                           + t.time().msecsSinceStartOfDay());
                    break;
                }
                default: break;
                }
            }
            at += f.size;
        }
        if (PX_put_record(px, record.data()) < 0)
            throw std::runtime_error("PX_put_record failed");
    }
    PX_close(px);
    PX_delete(px);
}

} // namespace fenwa::testing
