#include "bench_print.h"

#include "benchsupport.h"

#include "pdfoutput.h"
#include "printout.h"
#include "printrenderer.h"

#include <QBuffer>
#include <QDate>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int kCouples = 1000;
constexpr int kPartners = 4; // a row per partner: 4,000 table rows
constexpr int kColumns = 13;
constexpr double kBudget = 1.0;

const char* const kListName = "print/pdf_entry_list_1000_couples";
const char* const kEmptyName = "print/pdf_4000_empty_table_rows";

AppState sampleEntry() {
    AppState state;
    state.couples = sampleCouples(kCouples, kPartners, true);
    state.coupleCount = kCouples;
    state.universityInfo = sampleUniversity();
    return state;
}

// The whole PDF出力 but the file: the list built from the couples, laid out, painted and written as PDF.
void entryListPdf(benchmark::State& run) {
    const AppState state = sampleEntry();
    for (auto _ : run) {
        const PrintDocument document = entry_print_document(state, QStringLiteral("bench.ent"), QDate(2026, 3, 14));
        const QByteArray pdf = pdf_bytes({document}, QStringLiteral("bench"));
        mustSucceed(!pdf.isEmpty(), QStringLiteral("no PDF"));
        benchmark::DoNotOptimize(pdf.data());
    }
}

// The same number of table rows with nothing in them: the rules of each row's cells (a line under it and one at
// every column edge, in one call per row), page after page, on the same paper.
void emptyRowsPdf(benchmark::State& run) {
    for (auto _ : run) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            set_print_page_layout(writer);
            QPainter painter(&writer);
            const qreal rowHeight = writer.resolution() * 7 / 25.4; // a name with its kana under it
            const qreal cellWidth = qreal(writer.width()) / kColumns;
            qreal y = 0;
            QList<QLineF> rules;
            for (int row = 0; row < kCouples * kPartners; ++row) {
                if (y + rowHeight > writer.height()) {
                    writer.newPage();
                    y = 0;
                }
                rules.clear();
                if (y == 0)
                    rules << QLineF(0, 0, writer.width(), 0);
                rules << QLineF(0, y + rowHeight, writer.width(), y + rowHeight);
                for (int c = 0; c <= kColumns; ++c)
                    rules << QLineF(c * cellWidth, y, c * cellWidth, y + rowHeight);
                painter.drawLines(rules);
                y += rowHeight;
            }
        }
        benchmark::DoNotOptimize(buffer.data().data());
    }
}

double secondsOf(const std::map<std::string, double>& seconds, const std::string& name) {
    const auto found = seconds.find(name);
    return found == seconds.end() ? 0 : found->second;
}

} // namespace

void add_print_benchmarks() {
    benchmark::RegisterBenchmark(kListName, entryListPdf)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(kEmptyName, emptyRowsPdf)->Unit(benchmark::kMillisecond);
}

void print_print_ratios(const std::map<std::string, double>& secondsPerIteration) {
    const double list = secondsOf(secondsPerIteration, kListName);
    const double empty = secondsOf(secondsPerIteration, kEmptyName);
    if (list > 0 && empty > 0)
        std::printf("  %-72s %9.3f ms / %9.3f ms = %6.2fx  (%s)\n",
                    "PDF of the entry list, 1000 couples / PDF of 4000 empty table rows", list * 1e3, empty * 1e3,
                    list / empty, "for information");
    if (list > 0)
        std::printf("  %-72s %9.3f ms / %9.3f ms = %6.2fx  (%s)\n", "PDF of the entry list, 1000 couples / one second",
                    list * 1e3, kBudget * 1e3, list / kBudget, "target < 1, under one second");
}
