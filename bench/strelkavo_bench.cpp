// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Micro-benchmarks of everything the program does with its data: decoding,
// reading both files, the whole load as the window runs it, a screenful of
// display rows, the order of the hidden word list, the search index and the
// search on every keystroke. Each runs on the bundled
// verb list and on generated lists of 200, 10,000 and 100,000 rows (the last
// with 300,000 search words), made by strelkavo-data on first use.
//
//   strelkavo_bench [--gui] [benchmark flags...]
//
// The readers yield to the event loop after every line; they are measured
// with a yield that does nothing, with QCoreApplication::processEvents(), so
// that the share of the yields shows, and with the program's own yield, which
// hands over at most every 4 ms. --gui runs them under a
// QGuiApplication (on $QT_QPA_PLATFORM) instead of a QCoreApplication, whose
// event dispatcher is the one the program really has.

#include "data/codec.h"
#include "data/datafiles.h"
#include "literalwalk.h"
#include "table/listmodels.h"
#include "table/verbdata.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

using namespace strelkavo;

constexpr quint32 kSeed = 20240611;
const char *const kSets[] = {"bundled", "200", "10000", "100000"};

[[noreturn]] void die(const QString &message)
{
    std::fprintf(stderr, "strelkavo_bench: %s\n", qUtf8Printable(message));
    std::exit(1);
}

QString setting(const char *variable, const char *fallback)
{
    const QByteArray value = qgetenv(variable);
    return QFile::decodeName(value.isEmpty() ? QByteArray(fallback) : value);
}

QTemporaryDir &scratch()
{
    static QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("strelkavo-bench-XXXXXX")));
    if (!dir.isValid())
        die(QStringLiteral("no temporary directory: %1").arg(dir.errorString()));
    return dir;
}

void runTool(const QStringList &arguments, const QString &standardOutput)
{
    const QString tool = setting("STRELKAVO_DATA_TOOL", STRELKAVO_DATA_TOOL);
    QProcess process;
    process.setProgram(tool);
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (!standardOutput.isEmpty())
        process.setStandardOutputFile(standardOutput);
    process.start();
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        die(QStringLiteral("%1 %2 failed").arg(tool, arguments.join(QLatin1Char(' '))));
}

// czas.dat and czas2.dat of a generated list, the way users would make one.
QString generatedData(const QString &rows)
{
    const QString dir = scratch().filePath(rows);
    const QString list = dir + QStringLiteral("/list.txt");
    if (!QDir().mkpath(dir))
        die(QStringLiteral("cannot create %1").arg(dir));
    runTool({QStringLiteral("generate"), rows, QString::number(kSeed)}, list);
    runTool({QStringLiteral("build"), list, dir}, {});
    return dir;
}

const Yield kNoYield = [] {};
const Yield kPumpEvents = [] { QCoreApplication::processEvents(); };
const Yield kProgramYield = eventLoopYield();

// What a user types, one entry per keystroke: every word picked is typed
// letter by letter up to the box's 10 characters (sometimes with a capital
// first letter), starting from the empty box; some words are mistyped into
// beginnings that no word has.
QStringList keystrokes(const QStringList &words, const std::function<bool(QStringView)> &hits)
{
    QStringList typed;
    if (words.isEmpty())
        return typed;
    QRandomGenerator random(kSeed);
    const QString wrong = QStringLiteral("qxj");
    for (int n = 0; n < 200; ++n) {
        QString word = words.at(random.bounded(int(words.size())));
        if (n % 5 == 0 && !word.isEmpty())
            word[0] = word[0].toUpper();
        if (n % 4 == 3) {
            // A slip after a few good letters.
            word = word.left(1 + random.bounded(4)) + wrong;
            if (hits(QLocale::system().toLower(word)))
                continue;
        }
        for (qsizetype length = 0; length <= std::min<qsizetype>(word.size(), 10); ++length)
            typed.append(word.left(length));
    }
    return typed;
}

struct Dataset {
    QString dir;
    QString shuffledDir; // the same files, the words in no order
    std::unique_ptr<VerbData> data;
    std::unique_ptr<VerbData> shuffled;
    QList<VerbRow> rows;
    QStringList wordsInListOrder;
    QStringList typed;
    qsizetype misses = 0;
};

QLocale benchLocale()
{
    // The program orders its words by the system's collation; its users are Polish.
    return QLocale(QLocale::Polish, QLocale::Poland);
}

void copyShuffled(const QString &from, const QString &to)
{
    QFile verbs(QDir(from).filePath(kVerbFileName));
    QFile words(QDir(from).filePath(kWordFileName));
    if (!QDir().mkpath(to) || !verbs.copy(QDir(to).filePath(kVerbFileName))
        || !words.open(QIODevice::ReadOnly))
        die(QStringLiteral("cannot copy %1 to %2").arg(from, to));
    QList<QByteArray> lines = words.readAll().split('\n');
    lines.removeAll(QByteArray());
    std::shuffle(lines.begin(), lines.end(), QRandomGenerator(kSeed));
    QFile out(QDir(to).filePath(kWordFileName));
    if (!out.open(QIODevice::WriteOnly) || out.write(lines.join('\n') + '\n') < 0)
        die(out.errorString());
}

std::unique_ptr<VerbData> loaded(const QString &dir)
{
    auto data = std::make_unique<VerbData>(benchLocale());
    if (const auto error = loadVerbData(dir, *data, kNoYield))
        die(error->message());
    data->prepareSearch();
    return data;
}

const Dataset &dataset(const QString &name)
{
    static std::map<QString, std::unique_ptr<Dataset>> loadedSets;
    auto &slot = loadedSets[name];
    if (slot)
        return *slot;

    auto set = std::make_unique<Dataset>();
    set->dir = name == QLatin1String("bundled")
        ? setting("STRELKAVO_BUNDLED_DIR", STRELKAVO_BUNDLED_DIR)
        : generatedData(name);
    set->shuffledDir = scratch().filePath(name + QStringLiteral("-shuffled"));
    copyShuffled(set->dir, set->shuffledDir);
    set->data = loaded(set->dir);
    set->shuffled = loaded(set->shuffledDir);
    for (qsizetype i = 0; i < set->data->table().size(); ++i)
        set->rows.append(set->data->table().row(i));
    for (qsizetype i = 0; i < set->data->words().size(); ++i)
        set->wordsInListOrder.append(set->data->listWord(i));

    const auto hits = [&](QStringView text) {
        return literalWalk(set->wordsInListOrder, set->rows, text).has_value();
    };
    set->typed = keystrokes(set->wordsInListOrder, hits);
    for (const QString &typed : std::as_const(set->typed))
        set->misses += !set->data->find(QLocale::system().toLower(typed));
    slot = std::move(set);
    return *slot;
}

// --- the benchmarks ---------------------------------------------------------

void decode(benchmark::State &state, const QString &set)
{
    const VerbTable &table = dataset(set).data->table();
    qint64 bytes = 0;
    for (qsizetype i = 0; i < table.size(); ++i)
        bytes += table.storedLine(i).size();
    for (auto _ : state) {
        for (qsizetype i = 0; i < table.size(); ++i) {
            auto shown = DeXKoduj(table.storedLine(i));
            benchmark::DoNotOptimize(shown);
        }
    }
    state.SetItemsProcessed(state.iterations() * table.size());
    state.SetBytesProcessed(state.iterations() * bytes);
}

void readVerbs(benchmark::State &state, const QString &set, const Yield *yield)
{
    const QString path = QDir(dataset(set).dir).filePath(kVerbFileName);
    for (auto _ : state) {
        qint32 rows = 0;
        auto error = LiczLinie(path, rows, *yield);
        VerbTable table(rows);
        if (!error)
            error = ReadData(rows, path, table, *yield);
        if (error) {
            state.SkipWithError(qUtf8Printable(error->message()));
            break;
        }
        benchmark::DoNotOptimize(table);
    }
    state.SetItemsProcessed(state.iterations() * dataset(set).rows.size());
}

void readWords(benchmark::State &state, const QString &set, const Yield *yield)
{
    const QString path = QDir(dataset(set).dir).filePath(kWordFileName);
    for (auto _ : state) {
        qint32 lines = 0;
        WordList words;
        auto error = LiczLinie(path, lines, *yield);
        if (!error)
            error = ReadData2(lines, path, words, *yield);
        if (error) {
            state.SkipWithError(qUtf8Printable(error->message()));
            break;
        }
        benchmark::DoNotOptimize(words);
    }
    state.SetItemsProcessed(state.iterations() * dataset(set).wordsInListOrder.size());
}

// The rows that the list first shows, as its model makes them: 17 are in sight.
void displayRows(benchmark::State &state, const QString &set)
{
    VerbListModel model(VerbListModel::Shows::DisplayRows);
    model.setSource(dataset(set).data.get());
    const int inSight = std::min(17, model.rowCount());
    for (auto _ : state) {
        for (int row = 0; row < inSight; ++row) {
            QVariant text = model.index(row).data();
            benchmark::DoNotOptimize(text);
        }
    }
    state.SetItemsProcessed(state.iterations() * inSight);
}

void sortWords(benchmark::State &state, const VerbData &data)
{
    for (auto _ : state) {
        auto order = wordListOrder(data.words(), wordListCollator(benchLocale()));
        benchmark::DoNotOptimize(order.data());
    }
    state.SetItemsProcessed(state.iterations() * data.words().size());
}

// The words in the order of the file, as the data tool writes them.
void sortWordsAsRead(benchmark::State &state, const QString &set)
{
    sortWords(state, *dataset(set).data);
}

void sortWordsShuffled(benchmark::State &state, const QString &set)
{
    sortWords(state, *dataset(set).shuffled);
}

void buildIndex(benchmark::State &state, const QString &set)
{
    const VerbData &data = *dataset(set).data;
    const auto order = wordListOrder(data.words(), wordListCollator(benchLocale()));
    for (auto _ : state) {
        SearchIndex index(data.words(), order, data.table());
        benchmark::DoNotOptimize(index);
    }
    state.SetItemsProcessed(state.iterations() * data.words().size());
}

// One keystroke: the box's text lowered as the program lowers it, then the
// index asked for the row. The counters give the spread over the mix of
// keystrokes, each timed alone, median of five passes.
void search(benchmark::State &state, const QString &set)
{
    const Dataset &data = dataset(set);
    if (data.typed.isEmpty()) {
        state.SkipWithError("no words to type");
        return;
    }
    qsizetype next = 0;
    for (auto _ : state) {
        const QString lowered = QLocale::system().toLower(data.typed[next]);
        auto row = data.data->find(lowered);
        benchmark::DoNotOptimize(row);
        if (++next == data.typed.size())
            next = 0;
    }
    state.SetItemsProcessed(state.iterations());

    using Clock = std::chrono::steady_clock;
    std::vector<std::vector<double>> passes(data.typed.size());
    for (int pass = 0; pass < 5; ++pass) {
        for (qsizetype i = 0; i < data.typed.size(); ++i) {
            const auto start = Clock::now();
            auto row = data.data->find(QLocale::system().toLower(data.typed[i]));
            benchmark::DoNotOptimize(row);
            passes[i].push_back(std::chrono::duration<double, std::micro>(Clock::now() - start)
                                    .count());
        }
    }
    std::vector<double> each;
    for (auto &times : passes) {
        std::nth_element(times.begin(), times.begin() + 2, times.end());
        each.push_back(times[2]);
    }
    std::sort(each.begin(), each.end());
    state.counters["p50_us"] = each[each.size() / 2];
    state.counters["p99_us"] = each[each.size() * 99 / 100];
    state.counters["max_us"] = each.back();
    state.counters["keystrokes"] = double(data.typed.size());
    state.counters["miss_share"] = double(data.misses) / double(data.typed.size());
}

// The same keystrokes answered by walking both lists, for scale.
void searchPlainWalk(benchmark::State &state, const QString &set)
{
    const Dataset &data = dataset(set);
    qsizetype next = 0;
    for (auto _ : state) {
        const QString lowered = QLocale::system().toLower(data.typed[next]);
        auto row = literalWalk(data.wordsInListOrder, data.rows, lowered);
        benchmark::DoNotOptimize(row);
        if (++next == data.typed.size())
            next = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

// The window's load, the program's own entry point with its own yield: all
// that is done with the data before the window is first shown; then all of
// it, the word list's order and the search index included.
void load(benchmark::State &state, const QString &set, bool prepared)
{
    const QString dir = dataset(set).dir;
    for (auto _ : state) {
        VerbData data(benchLocale());
        if (const auto error = loadVerbData(dir, data, kProgramYield)) {
            state.SkipWithError(qUtf8Printable(error->message()));
            break;
        }
        if (prepared)
            data.prepareSearch();
        benchmark::DoNotOptimize(data);
    }
    state.SetItemsProcessed(state.iterations() * dataset(set).rows.size());
}

void loadBeforeShow(benchmark::State &state, const QString &set)
{
    load(state, set, false);
}

void loadAll(benchmark::State &state, const QString &set)
{
    load(state, set, true);
}

void registerAll()
{
    using Fn = void (*)(benchmark::State &, const QString &);
    const std::pair<const char *, Fn> plain[] = {
        {"Decode", decode},
        {"DisplayRows", displayRows},
        {"SortWords", sortWordsAsRead},
        {"SortWordsShuffled", sortWordsShuffled},
        {"BuildIndex", buildIndex},
        {"Search", search},
        {"SearchPlainWalk", searchPlainWalk},
        {"Load", loadBeforeShow},
        {"LoadAndIndex", loadAll},
    };
    using ReadFn = void (*)(benchmark::State &, const QString &, const Yield *);
    const std::pair<const char *, ReadFn> reads[] = {{"ReadVerbs", readVerbs},
                                                    {"ReadWords", readWords}};
    for (const auto &[name, fn] : plain)
        for (const char *set : kSets)
            benchmark::RegisterBenchmark((std::string(name) + '/' + set).c_str(), fn,
                                         QString::fromLatin1(set))
                ->Unit(benchmark::kMicrosecond);
    for (const auto &[name, fn] : reads)
        for (const char *set : kSets) {
            benchmark::RegisterBenchmark((std::string(name) + '/' + set + "/noYield").c_str(), fn,
                                         QString::fromLatin1(set), &kNoYield)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark((std::string(name) + '/' + set + "/processEvents").c_str(),
                                         fn, QString::fromLatin1(set), &kPumpEvents)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(
                (std::string(name) + '/' + set + "/processEventsEvery4ms").c_str(), fn,
                QString::fromLatin1(set), &kProgramYield)
                ->Unit(benchmark::kMicrosecond);
        }
}

} // namespace

int main(int argc, char *argv[])
{
    bool gui = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gui") == 0) {
            gui = true;
            std::copy(argv + i + 1, argv + argc + 1, argv + i);
            --argc;
            break;
        }
    }
    // Qt keeps a reference to its argc; the benchmark library edits ours.
    static int qtArgc = 1;
    static char *qtArgv[] = {argv[0], nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (gui)
        app = std::make_unique<QGuiApplication>(qtArgc, qtArgv);
    else
        app = std::make_unique<QCoreApplication>(qtArgc, qtArgv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::AddCustomContext("event dispatcher", gui ? "QGuiApplication" : "QCoreApplication");
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
