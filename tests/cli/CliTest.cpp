// kintra-cli as a user runs it: a separate process, its exit status, its output files and the
// lines it writes to standard error.

#include "model/ChartFile.h"
#include "model/OrventDoc.h"
#include "platform/Archive.h"
#include "platform/FileIo.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

namespace {

struct Result {
    int status = -1; // exit status, -1 when it did not exit normally
    int signal = 0;  // the signal that ended it
    bool timedOut = false;
    std::string out;
    std::string err;
};

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

Bytes ReadBytes(const std::string& path) {
    Bytes b;
    std::string error;
    if (!ReadWholeFile(path, b, error)) return {};
    return b;
}

void WriteBytes(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// Runs kintra-cli with the arguments; `fileSizeLimit` > 0 caps the size of files it may write,
// `memoryLimit` > 0 its address space.
Result Cli(const std::vector<std::string>& args, const std::string& workDir, long fileSizeLimit = 0,
           long memoryLimit = 0, int seconds = 30) {
    const std::string outPath = workDir + "/.stdout";
    const std::string errPath = workDir + "/.stderr";
    pid_t pid = ::fork();
    if (pid == 0) {
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(err, 2);
        if (::chdir(workDir.c_str()) != 0) ::_exit(126);
        if (fileSizeLimit > 0) {
            // As from a shell: the tool itself must keep the limit's signal from killing it.
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit r{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
            ::setrlimit(RLIMIT_FSIZE, &r);
        }
#ifdef KINTRA_CLI_SANITIZED
        memoryLimit = 0;
#endif
        if (memoryLimit > 0) {
            rlimit r{static_cast<rlim_t>(memoryLimit), static_cast<rlim_t>(memoryLimit)};
            ::setrlimit(RLIMIT_AS, &r);
        }
        std::vector<char*> argv;
        std::string program = KINTRA_CLI;
        argv.push_back(program.data());
        std::vector<std::string> copy = args;
        for (std::string& a : copy)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    Result r;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            r.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (WIFEXITED(status)) r.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
    r.out = ReadText(outPath);
    r.err = ReadText(errPath);
    return r;
}

} // namespace

class CliTest : public ::testing::Test {
  protected:
    CliTest() {
        char tmpl[] = "/tmp/kintra-cli-XXXXXX";
        dir = ::mkdtemp(tmpl);
    }
    ~CliTest() override { fs::remove_all(dir); }

    std::string Data(const std::string& name) const { return std::string(KINTRA_TEST_DATA) + "/" + name; }
    std::string Path(const std::string& name) const { return dir + "/" + name; }

    // The number of samples of the Clock in a saved file (the first block's history count).
    static std::int32_t ClockSamples(const Bytes& b) {
        std::int32_t samples;
        std::memcpy(&samples, &b.at(ClockSamplesAt(b)), 4);
        return samples;
    }
    // Where that number stands; the samples follow it.
    static std::size_t ClockSamplesAt(const Bytes& b) {
        // version, five 4-byte settings, MaxSteps, title
        std::size_t at = 8 + 20 + 8;
        at += 1 + b.at(at);
        std::int32_t n;
        std::memcpy(&n, &b.at(at), 4);
        at += 4 + 10 * static_cast<std::size_t>(n);
        // The Clock's common record: name, label, colour, notes, two flags, inputs.
        at += 1 + b.at(at);
        at += 1 + b.at(at);
        at += 4;
        if (b.at(at) == 0xFF) {
            std::uint16_t len;
            std::memcpy(&len, &b.at(at + 1), 2);
            at += 3 + len;
        } else {
            at += 1 + b.at(at);
        }
        return at + 8 + 96;
    }

    std::string dir;
};

TEST_F(CliTest, HelpAndArgumentErrors) {
    Result r = Cli({"--help"}, dir);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("kintra-cli run IN.cht"), std::string::npos);
    EXPECT_NE(r.out.find("Exit status"), std::string::npos);

    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {},
             {"jump", "a.cht"},
             {"run"},
             {"run", "a.cht", "b.cht"},
             {"run", Data("tank-102.cht"), "-o"},
             {"run", Data("tank-102.cht"), "--bogus"},
             {"run", Data("tank-102.cht"), "--set", "Gain.p4=1"},
             {"run", Data("tank-102.cht"), "--set", "Gain.p0=1"},
             {"run", Data("tank-102.cht"), "--set", "Gain.p1=lots"},
             {"run", Data("tank-102.cht"), "--set", "Gain.p1=2**"},
             {"run", Data("tank-102.cht"), "--set", "Gain=1"},
             {"run", Data("tank-102.cht"), "--max-values", "-3"},
             {"new", Path("x.cht"), "-o", Path("y.cht")},
             {"info", Data("tank-102.cht"), "--export", Path("x.tsv")},
             {"info", Data("tank-102.cht"), "--stats"},
             {"run", Data("tank-102.cht"), "--stats=yes"},
             {"run", Data("tank-102.cht"), "--export", Path("x.csv"), "--format", "xls"},
             {"run", Data("tank-102.cht"), "--format", "csv"},
             {"run", Data("tank-102.cht"), "--run-index", "3"},
             {"sweep", Data("tank-102.cht"), "-o", Path("s.h5")},
             {"sweep", Data("tank-102.cht"), "--vary", "Gain.p1=1:2", "-o", Path("s.h5")},
             {"sweep", Data("tank-102.cht"), "--vary", "Nobody.p1=1,2", "-o", Path("s.h5")},
             {"sweep", Data("tank-102.cht"), "--vary", "Gain.p1=1,2", "-o", Path("s.txt")},
             {"sweep", Data("tank-102.cht"), "--vary", "Gain.p1=1,2", "-o", Path("s.csv"), "--shard", "1/2"},
             {"sweep", Data("tank-102.cht"), "--repeat", "2", "-o", Path("s.h5"), "--shard", "3/2"},
             {"sweep", Data("tank-102.cht"), "--repeat", "2", "-o", Path("s.h5"), "--shard", "1/2"},
             {"sweep", Data("tank-102.cht"), "--repeat", "0", "-o", Path("s.h5")},
             {"sweep", Data("tank-102.cht"), "--repeat", "2", "-o", Path("s.h5"), "--compress", "10"},
             {"run", Data("tank-102.cht"), "--vary", "Gain.p1=1,2"},
             {"merge", Path("s.h5")},
             {"merge", Path("s.h5"), Data("tank-102.cht")},
         }) {
        r = Cli(bad, dir);
        EXPECT_EQ(r.status, 2) << (bad.empty() ? "" : bad[0]);
        EXPECT_FALSE(r.err.empty());
    }
    EXPECT_FALSE(fs::exists(Path("x.cht")));
    EXPECT_FALSE(fs::exists(Path("y.cht")));
    EXPECT_FALSE(fs::exists(Path("s.h5")));
}

TEST_F(CliTest, NewWritesTheNewChart) {
    Result r = Cli({"new", Path("new.cht")}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;
    EXPECT_EQ(ReadBytes(Path("new.cht")), ReadBytes(Data("new.cht")));
    const Bytes b = ReadBytes(Path("new.cht"));
    ASSERT_GT(b.size(), 437u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{0, 0, 0, 0, 0, 0x80, 0x59, 0x40}));
    EXPECT_EQ(std::string(b.begin() + 426, b.begin() + 437), "COrventView");
}

TEST_F(CliTest, RunRecordsTheHistoriesAndSaves) {
    Result r = Cli({"run", Data("tank-102.cht"), "-o", Path("out.cht")}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    const Bytes out = ReadBytes(Path("out.cht"));
    EXPECT_EQ(ClockSamples(out), 11);
    EXPECT_EQ(ClockSamples(ReadBytes(Data("tank-102.cht"))), 0);

    // Parameters set on the command line, as numbers or expressions; the output replaces an
    // existing file.
    r = Cli({"run", Data("tank-102.cht"), "-o", Path("out.cht"), "--set", "Clock.p3=2", "--set",
             "Clock.p2=2^-1*sqrt(1)"},
            dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ClockSamples(ReadBytes(Path("out.cht"))), 5);

    // Without -o nothing is written.
    r = Cli({"run", Data("oscillator.cht")}, dir);
    EXPECT_EQ(r.status, 0) << r.err;

    // An unknown block name: nothing written.
    r = Cli({"run", Data("tank-102.cht"), "-o", Path("none.cht"), "--set", "Nobody.p1=3"}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Nobody"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("none.cht")));
}

// --stats prints the integrator's figures and changes nothing else.
TEST_F(CliTest, StatsPrintTheIntegratorsFigures) {
    auto figures = [](const std::string& out) {
        std::istringstream lines(out);
        std::map<std::string, double> figure;
        for (std::string line; std::getline(lines, line);) {
            const auto colon = line.find(':');
            EXPECT_NE(colon, std::string::npos) << line;
            if (colon != std::string::npos) figure[line.substr(0, colon)] = std::stod(line.substr(colon + 1));
        }
        EXPECT_EQ(figure.size(), 6u) << out;
        return figure;
    };
    Result plain = Cli({"run", Data("oscillator.cht"), "-o", Path("plain.cht")}, dir);
    EXPECT_EQ(plain.status, 0) << plain.err;
    EXPECT_TRUE(plain.out.empty()) << plain.out;
    Result r = Cli({"run", Data("oscillator.cht"), "-o", Path("stats.cht"), "--stats"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(Path("stats.cht")), ReadBytes(Path("plain.cht")));
    auto figure = figures(r.out);
    EXPECT_GE(figure["Steps accepted"], 10.0) << "at least one step per output interval";
    EXPECT_EQ(figure["Steps accepted"] + figure["Steps rejected"], figure["Steps tried"]);
    EXPECT_GE(figure["Derivative evaluations"], 6 * figure["Steps tried"]);
    EXPECT_GT(figure["Smallest step"], 0.0);
    EXPECT_LE(figure["Smallest step"], figure["Largest step"]);
    EXPECT_NE(Cli({"--help"}, dir).out.find("--stats"), std::string::npos);

    // A refused run did no steps.
    r = Cli({"run", Data("oscillator.cht"), "--set", "Clock.p2=0", "--stats"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(figures(r.out)["Steps tried"], 0.0);
}

TEST_F(CliTest, OlderVersionsRunAndSaveAsCurrentFiles) {
    std::ofstream(Path("user.ini")) << "[Model]\nMaxSteps=7.000000e+002\n";
    for (const char* name : {"tank-100.cht", "tank-101.cht"}) {
        Result r = Cli({"run", Data(name), "-o", Path("cur.cht"), "--settings", Path("user.ini")}, dir);
        EXPECT_EQ(r.status, 0) << r.err;
        const Bytes b = ReadBytes(Path("cur.cht"));
        double version = 0, maxSteps = 0;
        std::memcpy(&version, b.data(), 8);
        std::memcpy(&maxSteps, b.data() + 28, 8);
        EXPECT_EQ(version, 102.0);
        EXPECT_EQ(maxSteps, 700.0) << "the user's default, for a file without it";
        EXPECT_EQ(b[36], name == std::string("tank-101.cht") ? 4 : 0) << "title Tank, or none";
    }
    Result r = Cli({"run", Data("tank-102.cht"), "--settings", Path("missing.ini")}, dir);
    EXPECT_EQ(r.status, 2);
}

TEST_F(CliTest, RefusedAndFailedRunsStillSave) {
    // A Gain whose required input was cut: the run is refused.
    Bytes b = ReadBytes(Data("tank-102.cht"));
    const std::string needle = "\x04Gain";
    const auto gain =
        static_cast<std::size_t>(std::search(b.begin(), b.end(), needle.begin(), needle.end()) - b.begin());
    ASSERT_LT(gain, b.size());
    const std::size_t input1 = gain + 5 + 1 + 4 + 1 + 4 + 4;
    const std::int32_t none = -99;
    std::memcpy(&b[input1], &none, 4);
    std::memcpy(&b[input1 + 4], &none, 4);
    WriteBytes(Path("cut.cht"), b);
    Result r = Cli({"run", Path("cut.cht"), "-o", Path("cut-out.cht")}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Run Time Error: "), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(Path("cut-out.cht")));

    // Timing parameters no run can use.
    r = Cli({"run", Data("tank-102.cht"), "-o", Path("t.cht"), "--set", "Clock.p2=0"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Timing Parameters Error"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(Path("t.cht")));

    // A run that would record too much is stopped like Terminate Run.
    r = Cli({"run", Data("oscillator.cht"), "-o", Path("big.cht"), "--set", "Clock.p3=1e9", "--max-values",
             "600"},
            dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--max-values"), std::string::npos) << r.err;
    const std::int32_t samples = ClockSamples(ReadBytes(Path("big.cht")));
    EXPECT_GE(samples, 100);
    EXPECT_LE(samples, 101);
}

TEST_F(CliTest, ExportWritesTheListText) {
    Result r = Cli({"run", Data("oscillator.cht"), "--export", Path("o.tsv")}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string text = ReadText(Path("o.tsv"));
    // The chart's list window: Precision 5, every block but the companions.
    EXPECT_EQ(text.rfind("\r\nClock\tVelocity\tPosition\tSpring\t\r\n", 0), 0u);
    EXPECT_NE(text.find("\r\n1.00000e-001\t"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 + 21);

    // A chart without a list window: a new list's default columns and factory settings.
    std::ofstream(Path("precise.ini")) << "[ListView]\nPrecision=9\n";
    r = Cli({"run", Data("sources.cht"), "--export", Path("s.tsv"), "--settings", Path("precise.ini")}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string s = ReadText(Path("s.tsv"));
    EXPECT_EQ(
        s.rfind("\r\nClock\tWave\tPulse\tShot\tJitter\tLate\tTable\tPlay\tProduct\t\r\n0.000e+000\t", 0), 0u);

    r = Cli({"run", Data("sources.cht"), "--export", Path("no/such/dir/s.tsv")}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.err.empty());
}

// The CSV holds what the run recorded, to the bit, in the columns and rows of the list's text.
TEST_F(CliTest, ExportCsvReadsBackToTheBit) {
    Result r = Cli(
        {"run", Data("oscillator.cht"), "-o", Path("o.cht"), "--export", Path("o.csv"), "--format", "csv"},
        dir);
    ASSERT_EQ(r.status, 0) << r.err;
    r = Cli({"run", Data("oscillator.cht"), "--export", Path("o.tsv"), "--format=tsv"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream csv(ReadText(Path("o.csv"))), tsv(ReadText(Path("o.tsv")));
    std::string line, text;
    std::getline(tsv, text); // the notes
    std::getline(tsv, text); // the names
    ASSERT_TRUE(std::getline(csv, line));
    EXPECT_EQ(line, "Clock,Velocity,Position,Spring\r");

    // The Clock's history follows its sample count in the saved chart.
    const Bytes saved = ReadBytes(Path("o.cht"));
    const std::int32_t samples = ClockSamples(saved);
    ASSERT_EQ(samples, 21);
    const std::size_t at = ClockSamplesAt(saved);
    int rows = 0;
    while (std::getline(csv, line) && std::getline(tsv, text)) {
        ASSERT_EQ(line.back(), '\r');
        std::istringstream fields(line.substr(0, line.size() - 1)), printed(text);
        std::string field, shown;
        for (int column = 0; std::getline(fields, field, ','); ++column) {
            ASSERT_TRUE(std::getline(printed, shown, '\t'));
            const double value = std::strtod(field.c_str(), nullptr);
            EXPECT_EQ(shown, WidenExponent(FormatString("%.5e", value))) << field;
            if (column == 0) {
                double time;
                std::memcpy(&time, &saved.at(at + 4 + 8 * static_cast<std::size_t>(rows)), 8);
                EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(time)) << field;
            }
        }
        ++rows;
    }
    EXPECT_EQ(rows, 21);
}

// render draws one window of a chart in the format its output's name says; the run's values are
// in the picture with --run; a wrong window, name or folder writes nothing and keeps what was there.
TEST_F(CliTest, RenderDrawsAWindowInTheFormatOfItsName) {
    const std::string chart = Data("oscillator.cht");
#ifndef KINTRA_CLI_HAS_RENDER
    Result off = Cli({"render", chart, "--window", "1", "-o", Path("c.svg")}, dir);
    EXPECT_EQ(off.status, 2);
    EXPECT_NE(off.err.find("not available in this build"), std::string::npos) << off.err;
    EXPECT_FALSE(fs::exists(Path("c.svg")));
    return;
#endif
    struct Case {
        std::vector<std::string> args;
        std::string name;
        std::string magic;
    };
    const Case cases[] = {
        {{"--window", "1"}, "chart.svg", "<?xml"},
        {{"--window", "1", "--run"}, "chart-run.svg", "<?xml"},
        {{"--window=2", "--run"}, "graph.PDF", "%PDF-"},
        {{"--window", "3", "--run"}, "list.png", "\x89PNG"},
        {{"--window", "3", "--run", "--dpi", "300"}, "list-300.png", "\x89PNG"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"render", chart, "-o", Path(c.name)};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result r = Cli(args, dir);
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
        EXPECT_TRUE(r.err.empty()) << c.name << ": " << r.err;
        EXPECT_EQ(ReadText(Path(c.name)).substr(0, c.magic.size()), c.magic) << c.name;
    }
    // The run's last time stands under the Clock only when the chart ran first.
    const std::string lastTime = ">2.000e+000<";
    EXPECT_EQ(ReadText(Path("chart.svg")).find(lastTime), std::string::npos);
    EXPECT_NE(ReadText(Path("chart-run.svg")).find(lastTime), std::string::npos);
    // The image's width follows --dpi (bytes 16..19 of a PNG: its width, big-endian); text
    // measured at either resolution may differ by a few per cent.
    auto width = [&](const char* name) {
        const Bytes b = ReadBytes(Path(name));
        return b.size() < 24 ? 0 : (b[16] << 24) | (b[17] << 16) | (b[18] << 8) | b[19];
    };
    EXPECT_NEAR(width("list-300.png"), 2 * width("list.png"), 0.05 * width("list-300.png"));

    // A refused run: the exit status says so, the picture is drawn all the same.
    Result r = Cli({"render", Data("tank-102.cht"), "--window", "1", "--run", "--set", "Clock.p2=0", "-o",
                    Path("refused.png")},
                   dir);
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_TRUE(fs::exists(Path("refused.png")));

    WriteBytes(Path("keep.png"), Bytes{'o', 'l', 'd'});
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"render", chart, "--window", "4", "-o", Path("keep.png")},
             {"render", chart, "--window", "0", "-o", Path("keep.png")},
             {"render", chart, "--window", "one", "-o", Path("keep.png")},
             {"render", chart, "-o", Path("keep.png")},
             {"render", chart, "--window", "1"},
             {"render", chart, "--window", "1", "--dpi", "5", "-o", Path("keep.png")},
             {"render", chart, "--window", "1", "-o", Path("x.jpg")},
             {"render", chart, "--window", "1", "-o", Path("png")},
             {"render", chart, "--window", "1", "-o", Path("missing/x.png")},
             {"render", chart, "--window", "1", "--export", Path("x.tsv"), "-o", Path("keep.png")},
             {"run", chart, "--window", "1"},
         }) {
        r = Cli(bad, dir);
        EXPECT_EQ(r.status, 2) << bad.back();
        EXPECT_FALSE(r.err.empty()) << bad.back();
    }
    EXPECT_EQ(ReadText(Path("keep.png")), "old");
    EXPECT_FALSE(fs::exists(Path("x.jpg")));
    EXPECT_FALSE(fs::exists(Path("x.tsv")));
    EXPECT_NE(r.err.find("--window"), std::string::npos);
}

TEST_F(CliTest, InfoSummarisesTheChart) {
    Result r = Cli({"info", Data("sources.cht")}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    for (const char* part :
         {"Title: \"Sources\"", "MaxSteps 100", "Sine Wave Generator \"Wave\" at (1, -1), source",
          "inputs: 1=\"Wave\"", "p1=0.2 (Gain); p2=1 (Delay)", "history: 11 values", "Windows: 3",
          "Chart (COrventView), title \"Main\"", "Graph (CGraphBase)",
          "Chart (COrventView), title \"Second\""})
        EXPECT_NE(r.out.find(part), std::string::npos) << part << "\n" << r.out;
}

TEST_F(CliTest, UnreadableInputWritesNothingAndKeepsTheOutput) {
    const Bytes keep{'o', 'l', 'd'};
    WriteBytes(Path("out.cht"), keep);

    Result r = Cli({"run", Path("absent.cht"), "-o", Path("out.cht")}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("absent.cht"), std::string::npos);

    Bytes newer = ReadBytes(Data("tank-102.cht"));
    const double v = 103.0;
    std::memcpy(newer.data(), &v, 8);
    WriteBytes(Path("newer.cht"), newer);
    r = Cli({"run", Path("newer.cht"), "-o", Path("out.cht")}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Load Error: Need updated version of Orvent to load this data file\n");
    EXPECT_EQ(ReadBytes(Path("out.cht")), keep);

    // An output that cannot be written completely leaves the old file as it was, says why and
    // leaves no temporary file.
    r = Cli({"run", Data("oscillator.cht"), "-o", Path("out.cht")}, dir, 1000);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("Unable to save the file '" + Path("out.cht") + "': File too large"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadBytes(Path("out.cht")), keep);
    r = Cli({"new", Path("out.cht")}, dir, 100);
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(ReadBytes(Path("out.cht")), keep);
    for (const auto& e : fs::directory_iterator(dir))
        EXPECT_EQ(e.path().filename().string().rfind(".out.cht", 0), std::string::npos) << e.path();
}

TEST_F(CliTest, NonRegularFilesAreRefusedWithoutWaiting) {
    ASSERT_EQ(::mkfifo(Path("pipe").c_str(), 0644), 0);
    fs::create_directory(Path("folder"));
    const std::vector<std::vector<std::string>> refused = {
        {"info", Path("pipe")},
        {"run", Path("pipe"), "-o", Path("out.cht")},
        {"run", Data("tank-102.cht"), "--settings", Path("pipe")},
        {"run", Data("tank-102.cht"), "--settings", Path("folder")},
        {"run", Data("tank-102.cht"), "--settings", Path("missing.ini")},
    };
    for (const auto& args : refused) {
        Result r = Cli(args, dir, 0, 0, 10);
        EXPECT_FALSE(r.timedOut) << args.back();
        EXPECT_EQ(r.status, 2) << args.back();
        const std::string why = args.back() == Path("folder")        ? "it is a folder"
                                : args.back() == Path("missing.ini") ? "No such file"
                                                                     : "it is not a regular file";
        EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(Path("out.cht")));
}

TEST_F(CliTest, ControlCharactersFromAChartReachTheTerminalEscaped) {
    // The Gain renamed to a screen-clearing sequence, with its required input cut.
    Bytes b = ReadBytes(Data("tank-102.cht"));
    const std::string needle = "\x04Gain";
    const auto gain =
        static_cast<std::size_t>(std::search(b.begin(), b.end(), needle.begin(), needle.end()) - b.begin());
    ASSERT_LT(gain, b.size());
    const std::string evil = "\x1b[2J";
    std::copy(evil.begin(), evil.end(), b.begin() + static_cast<std::ptrdiff_t>(gain + 1));
    const std::int32_t none = -99;
    std::memcpy(&b[gain + 5 + 1 + 4 + 1 + 4 + 4], &none, 4);
    std::memcpy(&b[gain + 5 + 1 + 4 + 1 + 4 + 8], &none, 4);
    WriteBytes(Path("evil.cht"), b);

    const Result info = Cli({"info", Path("evil.cht")}, dir);
    const Result run = Cli({"run", Path("evil.cht")}, dir);
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(info.out.find("\"\\x1b[2J\""), std::string::npos) << info.out;
    EXPECT_NE(run.err.find("Run Time Error: A Gain block, \\x1b[2J, "), std::string::npos) << run.err;
    for (const std::string& text : {info.out, info.err, run.out, run.err})
        EXPECT_TRUE(std::none_of(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7f;
        })) << text;
}

TEST_F(CliTest, ShortenedAndMutatedFilesNeverCrash) {
    const Bytes good = ReadBytes(Data("sources.cht"));
    ASSERT_FALSE(good.empty());
    // Cut at many places: always status 2 and a message, within a little memory.
    for (std::size_t n = 0; n < good.size(); n += 37) {
        WriteBytes(Path("cut.cht"), Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)));
        Result r = Cli({"run", Path("cut.cht"), "-o", Path("cut-out.cht")}, dir, 0, 512L << 20);
        ASSERT_FALSE(r.timedOut) << n;
        ASSERT_EQ(r.signal, 0) << n;
        EXPECT_EQ(r.status, 2) << n;
        EXPECT_FALSE(r.err.empty()) << n;
        EXPECT_FALSE(fs::exists(Path("cut-out.cht"))) << n;
    }
    // Random bytes changed: the tool may load or refuse, but never dies.
    std::mt19937 random(12345);
    for (int round = 0; round < 60; ++round) {
        Bytes bad = good;
        for (int k = 0; k < 4; ++k)
            bad[random() % bad.size()] = static_cast<std::uint8_t>(random());
        WriteBytes(Path("bad.cht"), bad);
        Result r = Cli({"info", Path("bad.cht")}, dir, 0, 512L << 20);
        ASSERT_FALSE(r.timedOut) << round;
        ASSERT_EQ(r.signal, 0) << round << " " << r.err;
        EXPECT_TRUE(r.status == 0 || r.status == 2) << round;
        if (r.status == 2) {
            EXPECT_FALSE(r.err.empty()) << round;
        }
    }
}

// The fields of a CSV file, line by line.
std::vector<std::vector<std::string>> CsvRows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line, field;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::istringstream fields(line);
        rows.emplace_back();
        while (std::getline(fields, field, ','))
            rows.back().push_back(field);
    }
    return rows;
}

// A Monte Carlo sweep over a grid: a run of it repeats alone to the last digit with run --set,
// --seed and --run-index; runs that fail are told and counted in the exit status; shards merged
// give the very bytes of the whole sweep's file, which h5dump reads.
TEST_F(CliTest, SweepRunsRepeatAloneAndShardsMergeToTheWhole) {
    const std::string chart = Data("../../fuzz/corpus/every-block.cht");
    const std::vector<std::string> sweep = {"sweep",    chart, "--vary", "Integrate.p2=0,1",
                                            "--repeat", "3",   "--seed", "7"};
    auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> args = sweep;
        args.insert(args.end(), more.begin(), more.end());
        return args;
    };
    Result r = Cli(with({"-j2", "-o", Path("whole.h5"), "--summary"}), dir);
    // An initial value of 0 ends in a division by zero: those runs fail, the others go on.
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.err.find("run 0 (Integrate.p2=0) failed: RunTime Error: Divide by zero"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("run 3 "), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("Runs: 6, failed: 3"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("q95"), std::string::npos) << r.out;
    ASSERT_EQ(Cli(with({"-j1", "-o", Path("whole.csv")}), dir).status, 1);

    for (const char* k : {"1", "2", "3"})
        ASSERT_NE(
            Cli(with({"--shard", std::string(k) + "/3", "-o", Path(std::string("part") + k + ".h5")}), dir)
                .status,
            2);
    r = Cli({"merge", Path("merged.h5"), Path("part3.h5"), Path("part1.h5"), Path("part2.h5")}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadBytes(Path("merged.h5")), ReadBytes(Path("whole.h5")));
    r = Cli({"merge", Path("gap.h5"), Path("part1.h5"), Path("part3.h5")}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("no part holds run 2"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(Path("gap.h5")));

    if (std::system("h5dump --version > /dev/null 2>&1") == 0) {
        const std::string dump = Path("status.txt");
        ASSERT_EQ(
            std::system(("h5dump -d /runs/status -d /runs/seed " + Path("whole.h5") + " > " + dump).c_str()),
            0);
        const std::string text = ReadText(dump);
        EXPECT_NE(text.find("(0): 2, 2, 2, 0, 0, 0"), std::string::npos) << text;
        // Without compression the file is larger and holds the same values.
        ASSERT_EQ(Cli(with({"--compress", "0", "-o", Path("raw.h5")}), dir).status, 1);
        EXPECT_GT(fs::file_size(Path("raw.h5")), fs::file_size(Path("whole.h5")));
        const std::string dumpRaw = "h5dump -d /histories -d /time " + Path("raw.h5");
        const std::string dumpWhole = "h5dump -d /histories -d /time " + Path("whole.h5");
        ASSERT_EQ(std::system((dumpRaw + " | tail -n +2 > " + Path("raw.txt")).c_str()), 0);
        ASSERT_EQ(std::system((dumpWhole + " | tail -n +2 > " + Path("whole.txt")).c_str()), 0);
        EXPECT_EQ(ReadText(Path("raw.txt")), ReadText(Path("whole.txt")));
        EXPECT_GT(ReadText(Path("raw.txt")).size(), 1000u);
    }

    // Runs 3 and 5 (initial value 1, repetitions 0 and 2) alone, against the sweep's lines for them.
    const auto swept = CsvRows(ReadText(Path("whole.csv")));
    ASSERT_FALSE(swept.empty());
    for (const char* index : {"3", "5"}) {
        r = Cli({"run", chart, "--set", "Integrate.p2=1", "--seed", "7", "--run-index", index, "--export",
                 Path("alone.csv"), "--format", "csv"},
                dir);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto alone = CsvRows(ReadText(Path("alone.csv")));
        ASSERT_GT(alone.size(), 2u);
        std::vector<std::vector<std::string>> mine;
        for (const auto& row : swept)
            if (row[0] == index) mine.push_back(row);
        ASSERT_EQ(mine.size() + 1, alone.size()) << "run " << index;
        for (std::size_t column = 0; column < alone[0].size(); ++column) {
            const std::string name = column == 0 ? "time" : alone[0][column];
            const auto at = std::find(swept[0].begin(), swept[0].end(), name);
            ASSERT_NE(at, swept[0].end()) << name;
            for (std::size_t s = 0; s < mine.size(); ++s)
                ASSERT_EQ(mine[s][static_cast<std::size_t>(at - swept[0].begin())], alone[s + 1][column])
                    << "run " << index << ", " << name << ", sample " << s;
        }
    }
}

// Shards spread by GNU parallel, as on a cluster, merge into the single process's file.
TEST_F(CliTest, ShardsRunThroughGnuParallelMergeToTheWhole) {
    if (std::system("parallel --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "GNU parallel is not installed";
    const std::string chart = Data("oscillator.cht");
    const std::string vary = "--vary Velocity.p2=-1:1:9 --vary Clock.p3=1,2";
    Result r = Cli(
        {"sweep", chart, "--vary", "Velocity.p2=-1:1:9", "--vary", "Clock.p3=1,2", "-o", Path("whole.h5")},
        dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string command = "cd " + dir + " && parallel --will-cite -j4 '" + std::string(KINTRA_CLI) +
                                " sweep " + chart + " " + vary +
                                " -j1 --shard {}/4 -o part{}.h5' ::: 1 2 3 4 && " + std::string(KINTRA_CLI) +
                                " merge merged.h5 part1.h5 part2.h5 part3.h5 part4.h5";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadBytes(Path("merged.h5")), ReadBytes(Path("whole.h5")));
}
