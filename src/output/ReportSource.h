#pragma once
// The rows a print or a spreadsheet export is made from, independent of where
// they come from (a dataset of the data module, a report's query, or rows
// built in memory).
#include <QString>
#include <QVariant>
#include <QVector>

namespace fenwa::output {

// Number is a real (floating-point) value; Integer a whole one.
enum class ColumnType { Text, Number, Integer, Date, Bool };

struct Column {
    QString name;              // field name, matched without regard to case
    QString title{};           // heading when the caller has none of its own
    ColumnType type = ColumnType::Text;
    QString format{};          // "#,##0.00", "#,##0.0000", "dd.MM.yyyy"; empty: plain
};

class ReportSource {
public:
    virtual ~ReportSource() = default;

    virtual int columnCount() const = 0;
    virtual Column column(int i) const = 0;
    virtual int rowCount() const = 0;
    virtual QVariant value(int row, int col) const = 0;
    // The text a reader sees: the column's format applied to the value.
    virtual QString text(int row, int col) const;

    int columnIndex(const QString &name) const;   // -1 when absent
};

// Formats one value the way the program shows it: amounts with the Polish
// separators, dates "dd.MM.yyyy", logical values "True"/"False".
// "#,##0.00" (or another number of decimals): every thousand grouped.
QString formatGrouped(double value, int decimals = 2);
QString formatValue(const QVariant &value, ColumnType type, const QString &format);

// Rows kept in memory: what tests and the reports that compute their own rows use.
class MemorySource : public ReportSource {
public:
    MemorySource() = default;
    explicit MemorySource(QVector<Column> columns) : columns_(std::move(columns)) {}

    void addColumn(const Column &c) { columns_.push_back(c); }
    void addRow(QVector<QVariant> row);
    void clearRows() { rows_.clear(); }

    int columnCount() const override { return columns_.size(); }
    Column column(int i) const override { return columns_[i]; }
    int rowCount() const override { return rows_.size(); }
    QVariant value(int row, int col) const override;

private:
    QVector<Column> columns_;
    QVector<QVector<QVariant>> rows_;
};

} // namespace fenwa::output
