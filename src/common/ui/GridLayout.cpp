#include "common/ui/GridLayout.h"

namespace fenwa::ui {

namespace {

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

QString valueOf(const LayoutValues &values, const QString &key, bool *found = nullptr)
{
    for (const auto &kv : values)
        if (kv.first.compare(key, Qt::CaseInsensitive) == 0) {
            if (found)
                *found = true;
            return kv.second;
        }
    if (found)
        *found = false;
    return QString();
}

bool flagOf(const LayoutValues &values, const QString &key, bool def)
{
    bool found = false;
    bool ok = false;
    const int v = valueOf(values, key, &found).trimmed().toInt(&ok);
    return found && ok ? v != 0 : def;
}

} // namespace

LayoutValues GridLayout::toValues() const
{
    LayoutValues v{{QStringLiteral("AutoLoadLayout"), flag(autoLoad)},
                   {QStringLiteral("AutoSaveLayout"), flag(autoSave)},
                   {QStringLiteral("Columns"), QString::number(columns.size())}};
    for (int i = 0; i < columns.size(); ++i) {
        const LayoutColumn &c = columns[i];
        v.append({QStringLiteral("Column%1").arg(i + 1),
                  QStringLiteral("%1,%2,%3,0").arg(c.field).arg(c.width).arg(flag(c.visible))});
    }
    v.append({QStringLiteral("OrderFields"), orderFields});
    return v;
}

GridLayout GridLayout::fromValues(const LayoutValues &values)
{
    GridLayout g;
    g.autoLoad = flagOf(values, QStringLiteral("AutoLoadLayout"), true);
    g.autoSave = flagOf(values, QStringLiteral("AutoSaveLayout"), true);
    bool ok = false;
    const int count = valueOf(values, QStringLiteral("Columns")).trimmed().toInt(&ok);
    for (int i = 1; ok && i <= count; ++i) {
        const QStringList parts = valueOf(values, QStringLiteral("Column%1").arg(i)).split(QLatin1Char(','));
        bool widthOk = false;
        LayoutColumn c;
        c.width = parts.value(1).trimmed().toInt(&widthOk);
        if (parts.size() < 3 || !widthOk)
            continue;
        c.field = parts[0].trimmed();
        c.visible = parts[2].trimmed() != QLatin1String("0");
        g.columns << c;
    }
    g.orderFields = valueOf(values, QStringLiteral("OrderFields")).trimmed();
    return g;
}

} // namespace fenwa::ui
