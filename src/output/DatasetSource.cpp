#include "output/DatasetSource.h"

#include "data/Dataset.h"

namespace fenwa::output {

using fenwa::data::FieldType;

int DatasetSource::columnCount() const { return ds_.fieldCount(); }

Column DatasetSource::column(int i) const
{
    const auto &f = ds_.fieldDef(i);
    Column c;
    c.name = f.name;
    c.title = f.name;
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Integer:
        c.type = ColumnType::Integer;
        break;
    case FieldType::Float:
        c.type = ColumnType::Number;
        break;
    case FieldType::Date:
    case FieldType::Timestamp:
        c.type = ColumnType::Date;
        break;
    case FieldType::Boolean:
        c.type = ColumnType::Bool;
        break;
    default:
        c.type = ColumnType::Text;
    }
    c.format = ds_.displayFormat(i);
    return c;
}

int DatasetSource::rowCount() const { return ds_.recordCount(); }

QVariant DatasetSource::value(int row, int col) const { return ds_.valueAt(row, col); }

QString DatasetSource::text(int row, int col) const { return ds_.displayText(row, col); }

} // namespace fenwa::output
