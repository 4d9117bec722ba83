// SPDX-FileCopyrightText: 2026 The Strelkavo developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Micro-benchmarks of everything the program does with its data: decoding,
// reading both files, the display rows, the sort of the hidden word list, the
// search index and the search on every keystroke. Each runs on the bundled
// verb list and on generated lists of 200, 10,000 and 100,000 rows (the last
// with 300,000 search words), made by strelkavo-data on first use.
//
//   strelkavo_bench [--gui] [benchmark flags...]
//
// The readers yield to the event loop after every line; they are measured
// with a yield that does nothing, with QCoreApplication::processEvents(), so
// that the share of the yields shows, and with processEvents() at most every
// 4 ms, as the window yields. --gui runs them under a
// QGuiApplication (on $QT_QPA_PLATFORM) instead of a QCoreApplication, whose
// event dispatcher is the one the program really has.

#include "data/codec.h"
#include "data/datafiles.h"
#include "table/rows.h"
#include "literalwalk.h"
#include "table/search.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringListModel>
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
// As the window reads: a yield after every line, but a pass of the event
// loop only when 4 ms have gone by since the last one.
const Yield kPumpEventsEvery4ms = [] {
    static QElapsedTimer sinceLastPass;
    if (sinceLastPass.isValid() && sinceLastPass.nsecsElapsed() < 4'000'000)
        return;
    QCoreApplication::processEvents();
    sinceLastPass.start();
};

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
    QString verbPath;
    QString wordPath;
    QList<QByteArray> storedVerbLines;
    VerbTable table;
    QStringList wordsInFileOrder;
    QStringList wordsShuffled;
    QStringList wordsInListOrder;
    SearchIndex index;
    QStringList typed;
    qsizetype misses = 0;
};

QCollator benchCollator()
{
    // The program sorts with the system's collation; its users are Polish.
    return wordListCollator(QLocale(QLocale::Polish, QLocale::Poland));
}

const Dataset &dataset(const QString &name)
{
    static std::map<QString, std::unique_ptr<Dataset>> loaded;
    auto &slot = loaded[name];
    if (slot)
        return *slot;

    const QString dir = name == QLatin1String("bundled")
        ? setting("STRELKAVO_BUNDLED_DIR", STRELKAVO_BUNDLED_DIR)
        : generatedData(name);
    auto data = std::make_unique<Dataset>();
    data->verbPath = QDir(dir).filePath(kVerbFileName);
    data->wordPath = QDir(dir).filePath(kWordFileName);

    qint32 rows = 0;
    qint32 wordLines = 0;
    std::optional<LoadError> error = LiczLinie(data->verbPath, rows, kNoYield);
    if (!error) {
        data->table = VerbTable(rows);
        error = ReadData(rows, data->verbPath, data->table, kNoYield);
    }
    if (!error)
        error = LiczLinie(data->wordPath, wordLines, kNoYield);
    if (!error)
        error = ReadData2(wordLines, data->wordPath, data->wordsInFileOrder, kNoYield);
    if (error)
        die(error->message());

    QFile verbs(data->verbPath);
    if (!verbs.open(QIODevice::ReadOnly))
        die(verbs.errorString());
    forEachLine(verbs.readAll(), [&](QByteArrayView line, qint64) {
        data->storedVerbLines.append(line.toByteArray());
        return true;
    });

    // The data tool writes the words in list order already; files from
    // elsewhere need the whole sort.
    data->wordsShuffled = data->wordsInFileOrder;
    std::shuffle(data->wordsShuffled.begin(), data->wordsShuffled.end(),
                 QRandomGenerator(kSeed));
    data->wordsInListOrder = data->wordsInFileOrder;
    sortWordList(data->wordsInListOrder, benchCollator());
    data->index = SearchIndex(data->wordsInListOrder, data->table);

    const auto hits = [&](QStringView text) {
        return literalWalk(data->wordsInListOrder, data->table, text).has_value();
    };
    data->typed = keystrokes(data->wordsInFileOrder, hits);
    for (const QString &typed : std::as_const(data->typed))
        data->misses += !data->index.find(QLocale::system().toLower(typed));
    slot = std::move(data);
    return *slot;
}

// --- the benchmarks ---------------------------------------------------------

void decode(benchmark::State &state, const QString &set)
{
    const Dataset &data = dataset(set);
    qint64 bytes = 0;
    for (const QByteArray &line : data.storedVerbLines)
        bytes += line.size();
    for (auto _ : state) {
        for (const QByteArray &line : data.storedVerbLines) {
            auto shown = DeXKoduj(line);
            benchmark::DoNotOptimize(shown);
        }
    }
    state.SetItemsProcessed(state.iterations() * data.storedVerbLines.size());
    state.SetBytesProcessed(state.iterations() * bytes);
}

void readVerbs(benchmark::State &state, const QString &set, const Yield *yield)
{
    const Dataset &data = dataset(set);
    for (auto _ : state) {
        qint32 rows = 0;
        auto error = LiczLinie(data.verbPath, rows, *yield);
        VerbTable table(rows);
        if (!error)
            error = ReadData(rows, data.verbPath, table, *yield);
        if (error) {
            state.SkipWithError(qUtf8Printable(error->message()));
            break;
        }
        benchmark::DoNotOptimize(table.data());
    }
    state.SetItemsProcessed(state.iterations() * data.table.size());
}

void readWords(benchmark::State &state, const QString &set, const Yield *yield)
{
    const Dataset &data = dataset(set);
    for (auto _ : state) {
        qint32 lines = 0;
        QStringList words;
        auto error = LiczLinie(data.wordPath, lines, *yield);
        if (!error)
            error = ReadData2(lines, data.wordPath, words, *yield);
        if (error) {
            state.SkipWithError(qUtf8Printable(error->message()));
            break;
        }
        benchmark::DoNotOptimize(words.data());
    }
    state.SetItemsProcessed(state.iterations() * data.wordsInFileOrder.size());
}

// The rows as the window fills its list with them, model included.
void displayRows(benchmark::State &state, const QString &set)
{
    const Dataset &data = dataset(set);
    QStringListModel model;
    for (auto _ : state) {
        QStringList rows;
        rows.reserve(data.table.size());
        for (const VerbRow &row : data.table)
            rows.append(displayRow(row));
        model.setStringList(rows);
    }
    state.SetItemsProcessed(state.iterations() * data.table.size());
}

void sortWords(benchmark::State &state, const QStringList &unsorted)
{
    for (auto _ : state) {
        QStringList words = unsorted;
        words.detach();
        sortWordList(words, benchCollator());
        benchmark::DoNotOptimize(words.data());
    }
    state.SetItemsProcessed(state.iterations() * unsorted.size());
}

// The words in the order of the file, as the window gets them.
void sortWordsAsRead(benchmark::State &state, const QString &set)
{
    sortWords(state, dataset(set).wordsInFileOrder);
}

void sortWordsShuffled(benchmark::State &state, const QString &set)
{
    sortWords(state, dataset(set).wordsShuffled);
}

void buildIndex(benchmark::State &state, const QString &set)
{
    const Dataset &data = dataset(set);
    for (auto _ : state) {
        SearchIndex index(data.wordsInListOrder, data.table);
        benchmark::DoNotOptimize(index.isEmpty());
    }
    state.SetItemsProcessed(state.iterations() * data.wordsInListOrder.size());
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
        auto row = data.index.find(lowered);
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
            auto row = data.index.find(QLocale::system().toLower(data.typed[i]));
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
        auto row = literalWalk(data.wordsInListOrder, data.table, lowered);
        benchmark::DoNotOptimize(row);
        if (++next == data.typed.size())
            next = 0;
    }
    state.SetItemsProcessed(state.iterations());
}

// Everything the window does with its data before it is first shown, in the
// same order and with the same yields (see kPumpEventsEvery4ms).
void load(benchmark::State &state, const QString &set)
{
    const Dataset &data = dataset(set);
    QStringListModel list1;
    QStringListModel list2;
    for (auto _ : state) {
        qint32 rows = 0;
        qint32 wordLines = 0;
        VerbTable table;
        QStringList words;
        auto error = LiczLinie(data.verbPath, rows, kPumpEventsEvery4ms);
        if (!error) {
            table = VerbTable(rows);
            error = ReadData(rows, data.verbPath, table, kPumpEventsEvery4ms);
        }
        if (!error)
            error = LiczLinie(data.wordPath, wordLines, kPumpEventsEvery4ms);
        if (!error)
            error = ReadData2(wordLines, data.wordPath, words, kPumpEventsEvery4ms);
        if (error) {
            state.SkipWithError(qUtf8Printable(error->message()));
            break;
        }
        sortWordList(words, wordListCollator(QLocale::system()));
        list2.setStringList(words);
        SearchIndex index(words, table);
        QStringList display;
        display.reserve(rows);
        for (const VerbRow &row : std::as_const(table))
            display.append(displayRow(row));
        list1.setStringList(display);
        benchmark::DoNotOptimize(index.isEmpty());
    }
    state.SetItemsProcessed(state.iterations() * data.table.size());
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
        {"Load", load},
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
                QString::fromLatin1(set), &kPumpEventsEvery4ms)
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
