// Export of 5,000 positions × 23 columns to .xlsx, and a 5,000-row `Rep_Poz`
// print to PDF.
#include "output/PrintJob.h"
#include "output/SheetExport.h"
#include "output/ui/PrintRenderer.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace fenwa::output;

namespace {

constexpr int kRows = 5000;

QString text(const char *what, int r, int len = 0)
{
    QString s = QStringLiteral("%1 %2").arg(QString::fromUtf8(what)).arg(r);
    while (len > 0 && s.size() < len)
        s += QStringLiteral(" wyraz");
    return s;
}

void BM_ExportPositions(benchmark::State &state)
{
    QTemporaryDir dir;
    SheetDesign design;
    design.title = QStringLiteral("Grupa dokumentów: FV, Rozdział: 01030, §4210, rok 2016");
    const char *heads[] = {"Lp", "Źródło finansowania", "Choroba", "Gatunek zwierzęcia",
                           "Nazwa kontrahenta", "Czynność", "Opis", "Data", "Pozycja księgowa",
                           "Numer dokumentu źródłowego", "Ilosc", "Jm", "Cena jednostkowa brutto",
                           "Netto", "Zobowiązania publiczno-prawne", "Brutto", "Wydatki", "Koszty",
                           "Dotyczy roku bieżącego", "Badanie diagnostyczne", "Badanie pozostałości",
                           "Zakupy", "Pracownia"};
    for (int c = 1; c <= 23; ++c) {
        SheetColumn col{QString::fromUtf8(heads[c - 1])};
        if (c == 1)
            col.width = 5;
        else if (c <= 12)
            col.width = 15;
        else if (c >= 14 && c <= 16) {
            col.width = 15;
            col.amount = true;
        } else if (c >= 20)
            col.width = 30;
        design.columns << col;
    }
    QVector<QVector<QVariant>> rows;
    for (int r = 0; r < kRows; ++r)
        rows << QVector<QVariant>{text("Budżet państwa", r), text("Wścieklizna", r), text("bydło", r),
                                  text("Przedsiębiorstwo", r, 60), text("Czynność", r),
                                  text("Opis pozycji", r, 120), QStringLiteral("12.03.2016"),
                                  QString::number(r), text("FV", r), 2.0 + r % 7, QStringLiteral("szt."),
                                  12.3456, 100.0 + r, 23.0, 123.0 + r, QStringLiteral("True"),
                                  QStringLiteral("False"), QStringLiteral("True"), text("Badanie", r),
                                  QString(), text("Zakup", r), text("Pracownia", r)};
    SheetEnvironment env;
    env.folder = dir.path();
    env.moment = QDateTime::currentDateTime();
    env.version = QStringLiteral("[14.09.2016]");
    env.login = QStringLiteral("anna");
    for (auto _ : state) {
        const SheetResult res = SheetExport::run(env, design, [&](SheetExport &x) {
            for (const auto &row : rows)
                x.addRow(row);
        });
        if (!res.ok)
            state.SkipWithError("export failed");
        QFile::remove(res.path);
    }
}
BENCHMARK(BM_ExportPositions)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PrintPositionsToPdf(benchmark::State &state)
{
    QTemporaryDir dir;
    MemorySource src({{QStringLiteral("data"), {}, ColumnType::Date},
                      {QStringLiteral("pks")}, {QStringLiteral("fak")},
                      {QStringLiteral("Kontrahent")}, {QStringLiteral("Opis")}, {QStringLiteral("jm2")},
                      {QStringLiteral("ilosc"), {}, ColumnType::Number, QStringLiteral("#,##0.00")},
                      {QStringLiteral("netto"), {}, ColumnType::Number, QStringLiteral("#,##0.00")},
                      {QStringLiteral("podatki"), {}, ColumnType::Number, QStringLiteral("#,##0.00")},
                      {QStringLiteral("brutto"), {}, ColumnType::Number, QStringLiteral("#,##0.00")}});
    for (int r = 0; r < kRows; ++r)
        src.addRow({QDate(2016, 3, 1 + r % 28), QString::number(r), text("FV", r),
                    text("Przedsiębiorstwo", r, r % 10 == 0 ? 200 : 40), text("Opis pozycji", r, r % 7 == 0 ? 160 : 30),
                    QStringLiteral("szt."), 2.0, 100.0 + r, 23.0, 123.0 + r});
    PrintParameters p;
    p.set(QStringLiteral("Tytul"), QStringLiteral("Grupa dokumentów: FV"));
    p.set(QStringLiteral("IW"), PrintParameters::iw("Wojewódzki Inspektorat Weterynarii", "ul. Lipowa 5", "20-001 Lublin"));
    p.set(QStringLiteral("Stopka_raportu"), QStringLiteral("Wydruk\nData Wydruku: 14.09.2016"));
    int pages = 0;
    for (auto _ : state) {
        const PrintJob job = preparePrint(*findPrintLayout(QStringLiteral("Rep_Poz")), p, src);
        ui::PrintRenderer r(job);
        if (!r.writePdf(dir.filePath(QStringLiteral("poz.pdf"))))
            state.SkipWithError("PDF failed");
        pages = r.pageCount();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PrintPositionsToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
