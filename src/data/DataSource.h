#pragma once
// The link between a dataset and the controls bound to it. It never starts
// editing by itself: every insert, edit, save and cancel is a window's command.
#include "data/Dataset.h"
#include "data/Query.h"

namespace fenwa::data {

class DataSource : public QObject {
    Q_OBJECT
public:
    DataSource(Dataset *dataset, const QString &name, QObject *parent = nullptr)
        : QObject(parent), dataset_(dataset)
    {
        setObjectName(name);
        connect(dataset, &Dataset::stateChanged, this, &DataSource::stateChanged);
        connect(dataset, &Dataset::rowsChanged, this, &DataSource::dataChanged);
        connect(dataset, &Dataset::recordChanged, this, &DataSource::dataChanged);
        connect(dataset, &Dataset::currentChanged, this, &DataSource::dataChanged);
    }
    Dataset *dataset() const { return dataset_; }
    bool autoEdit() const { return false; }

signals:
    void stateChanged();
    void dataChanged();

private:
    Dataset *dataset_;
};

} // namespace fenwa::data
