// Throughput of the line classifier on a generated C-like file, beside a plain
// newline count (what `wc -l` does) over the same bytes. Each classifier
// benchmark also reports "x_newline": its time per byte divided by that of the
// newline count measured in the same run. Both are timed in CPU time of the
// thread, so other work on the machine disturbs the ratio little.

#include "engine/CommentRuleCounters.h"
#include "engine/LineReader.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>
#include <wx/init.h>

namespace
{
constexpr std::size_t FILE_SIZE = 32 * 1024 * 1024;

// Source-like text: indented statements, line and block comments, blank
// lines, braces; mostly LF with a few CR LF files' worth of lines.
const std::string& CLikeBytes()
{
    static const std::string bytes = []
    {
        static const char* const lines[] = {
            "int nCount = 0;",
            "for (int i = 0; i < nSize; ++i)",
            "{",
            "}",
            "    if (pNode->m_pNext != nullptr && pNode->m_nValue > nLimit)",
            "        return CalculateTotal(arrValues, nFirst, nLast) / nDivisor;",
            "// Walk the list once; the caller owns every node.",
            "    x = y * 2; // twice, see above",
            "/* A block comment that",
            "   spans several lines",
            "   and ends here. */",
            "",
            "    ",
            "static const char* s_szName = \"value\"; /* inline */",
            "#include <vector>",
            "        std::string strText = wxString::Format(\"%d items\", nItems);",
        };
        std::mt19937 random(42);
        std::uniform_int_distribution<std::size_t> pick(0, std::size(lines) - 1);
        std::string text;
        text.reserve(FILE_SIZE + 256);
        while (text.size() < FILE_SIZE)
        {
            text += lines[pick(random)];
            text += random() % 16 == 0 ? "\r\n" : "\n";
        }
        return text;
    }();
    return bytes;
}

std::int64_t CountNewlines(const char* p, std::size_t n)
{
    std::int64_t nLines = 0;
    const char* const pEnd = p + n;
    while ((p = static_cast<const char*>(std::memchr(p, '\n', pEnd - p))) != nullptr)
    {
        ++nLines;
        ++p;
    }
    return nLines;
}

double ThreadSeconds()
{
    timespec now;
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Seconds per pass of the newline count, the best of a few passes.
double NewlineSeconds()
{
    static const double fSeconds = []
    {
        const std::string& bytes = CLikeBytes();
        double fBest = 1e9;
        for (int i = 0; i < 20; ++i)
        {
            const double fStart = ThreadSeconds();
            benchmark::DoNotOptimize(CountNewlines(bytes.data(), bytes.size()));
            fBest = std::min(fBest, ThreadSeconds() - fStart);
        }
        return fBest;
    }();
    return fSeconds;
}

// Runs a pass per iteration, and reports bytes per second and the ratio to
// the newline count.
template <class TPass> void Measure(benchmark::State& state, std::size_t nBytes, TPass pass)
{
    const double fBaseline = NewlineSeconds() * static_cast<double>(nBytes) / CLikeBytes().size();
    const double fStart = ThreadSeconds();
    for (auto _ : state)
        pass();
    const double fElapsed = ThreadSeconds() - fStart;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * nBytes));
    state.counters["x_newline"] = fElapsed / static_cast<double>(state.iterations()) / fBaseline;
}

void BM_NewlineCount(benchmark::State& state)
{
    const std::string& bytes = CLikeBytes();
    Measure(state, bytes.size(),
            [&] { benchmark::DoNotOptimize(CountNewlines(bytes.data(), bytes.size())); });
}

void BM_LineSplitting(benchmark::State& state)
{
    const std::string& bytes = CLikeBytes();
    Measure(state, bytes.size(),
            [&]
            {
                LineReader lines(bytes);
                std::string_view line;
                std::int64_t nLines = 0;
                while (lines.Next(line))
                    ++nLines;
                benchmark::DoNotOptimize(nLines);
            });
}

// Counts the bytes with a C-style rule, as one file.
void Classify(benchmark::State& state, const std::string& bytes)
{
    const CounterRule rule("C", "", "//", "/*", "*/");
    CppCounter counter;
    counter.m_pRule = &rule;
    std::int64_t nCode = 0;
    Measure(state, bytes.size(),
            [&]
            {
                LineReader lines(bytes);
                std::int64_t nLines = 0, nComment = 0, nCodeComment = 0, nBlank = 0;
                nCode = 0;
                counter.CountLines(lines, nLines, nCode, nComment, nCodeComment, nBlank);
                benchmark::DoNotOptimize(nLines);
            });
    state.counters["code_lines"] = static_cast<double>(nCode);
}

// Repeats the lines, each ended by LF, to the size of the C-like text.
std::string Repeated(std::initializer_list<std::string> lines)
{
    std::string text;
    text.reserve(FILE_SIZE + 64 * 1024);
    while (text.size() < FILE_SIZE)
    {
        for (const std::string& line : lines)
        {
            text += line;
            text += '\n';
        }
    }
    return text;
}

void BM_Classifier(benchmark::State& state)
{
    Classify(state, CLikeBytes());
}

// Lines of several kilobytes: generated tables, minified code.
void BM_ClassifierLongLines(benchmark::State& state)
{
    std::string strCode;
    while (strCode.size() < 6000)
        strCode += "value = compute(value, 42) + table[index]; ";
    static const std::string bytes = Repeated({strCode, strCode + "// trailing note", "",
                                               "/* " + strCode + " */ " + strCode});
    Classify(state, bytes);
}

// Every line holds markers or bytes that start one: arithmetic with / and *,
// pointers, comments in and after code, documentation blocks of "*" lines.
void BM_ClassifierManyMarkers(benchmark::State& state)
{
    static const std::string bytes = Repeated({
        "x = a / b * c / d; // ratio",
        "*p = *q / 2; /* halve */ *r = 0;",
        "/*",
        " * The caller holds the lock; *pValue is read / written once.",
        " * Returns 0 / -1 (see */ below) and more",
        " */ y = 1; /* and */ z = 2; /* open",
        "still */ w = 3; // done",
        "s = \"//\" /* not a string */;",
    });
    Classify(state, bytes);
}

// One line of thousands of short block comments between statements.
void BM_ClassifierBlockCommentRun(benchmark::State& state)
{
    std::string strLine;
    for (int i = 0; i < 5000; ++i)
        strLine += "/* a */ x; ";
    static const std::string bytes = Repeated({strLine, "/**/" + std::string(20000, ' ') + "/**/"});
    Classify(state, bytes);
}

// The whole of counting one file: open, read in chunks, split, classify.
void BM_CountFile(benchmark::State& state)
{
    const std::string& bytes = CLikeBytes();
    char szPath[] = "/tmp/linecast-bench-XXXXXX";
    const int nFd = ::mkstemp(szPath);
    if (nFd < 0 || ::write(nFd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
    {
        state.SkipWithError("cannot write the temporary file");
        return;
    }
    ::close(nFd);

    const CounterRule rule("C", "", "//", "/*", "*/");
    CppCounter counter;
    counter.m_pRule = &rule;
    FileResult file;
    file.m_strPath = szPath;
    Measure(state, bytes.size(),
            [&]
            {
                counter.CountFile(file);
                benchmark::DoNotOptimize(file.m_nLines);
            });
    ::unlink(szPath);
}
} // namespace

BENCHMARK(BM_NewlineCount)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineSplitting)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Classifier)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassifierLongLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassifierManyMarkers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassifierBlockCommentRun)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountFile)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    wxInitializer init;
    if (!init.IsOk())
        return 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
