#pragma once

#include <QDate>
#include <QString>
#include <QVariantHash>

#include <functional>
#include <vector>

// Benchmark cases of deskbench. A file bench_<topic>.cpp in this folder registers its cases
// with BENCH_CASE and is built in without further ado:
//
//     BENCH_CASE({.name = QStringLiteral("Reserve: open + find by number"),
//                 .setup = [](deskbench::Context& c) { c.values[u"rvno"_qs] = ...; },
//                 .run = [](const deskbench::Context& c) { ... },        // timed
//                 .baseline = [](const deskbench::Context& c) { ... }}); // optional, timed alike
//
// Each case runs against the data directory the program built (or reused). Cases must not
// change what later cases rely on; one that writes should undo it in its own run.
namespace deskbench {

struct Context {
    QString dir;         // data directory, ends in '/'
    QDate today;         // last day of the generated period
    int years = 10;      // length of the generated period
    QVariantHash values; // what setups leave for their timed parts
};

struct Case {
    QString name;
    std::function<void(Context&)> setup = {};          // optional, once, untimed
    std::function<void(const Context&)> run = {};      // the operation timed
    std::function<void(const Context&)> baseline = {}; // optional: the full-copy way, timed alike
};

std::vector<Case>& cases();

struct Registrar {
    explicit Registrar(Case c) { cases().push_back(std::move(c)); }
};

// Keeps a value alive so the compiler cannot drop the work that made it.
void keep(const QVariant& value);

} // namespace deskbench

#define DESK_BENCH_JOIN2(a, b) a##b
#define DESK_BENCH_JOIN(a, b) DESK_BENCH_JOIN2(a, b)
#define BENCH_CASE(...)                                                                                                \
    static const deskbench::Registrar DESK_BENCH_JOIN(deskBenchCase_, __LINE__)(deskbench::Case __VA_ARGS__)
