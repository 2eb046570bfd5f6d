#pragma once
// A dataset of the table engine (a table or query of the data module) seen as
// the rows of a print or an export. Texts are the dataset's display texts, so
// fields print with their display formats.
#include "output/ReportSource.h"

namespace fenwa::data {
class Dataset;
}

namespace fenwa::output {

class DatasetSource : public ReportSource {
public:
    explicit DatasetSource(const fenwa::data::Dataset &dataset) : ds_(dataset) {}

    int columnCount() const override;
    Column column(int i) const override;
    int rowCount() const override;
    QVariant value(int row, int col) const override;
    QString text(int row, int col) const override;

private:
    const fenwa::data::Dataset &ds_;
};

} // namespace fenwa::output
