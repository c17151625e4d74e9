#include "CliApp.h"

#include "blocks/Catalogue.h"
#include "chart/OrventView.h"
#include "hdf5/SweepHdf5.h"
#include "model/ChartDocument.h"
#include "model/OrventDoc.h"
#include "model/Sweep.h"
#include "model/SweepOutput.h"
#include "platform/Expression.h"
#include "platform/FileIo.h"
#include "platform/Platform.h"
#include "platform/SettingsStore.h"
#include "platform/Text.h"
#include "views/GraphView.h"
#include "views/HeadlessWindows.h"
#include "views/ListView.h"

#if KINTRA_HAVE_RENDER
#include "render/ViewRender.h"
#endif

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace kintra::cli {

std::string Printable(const std::string& text) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    auto escape = [&](unsigned char c) {
        out += "\\x";
        out += hex[c >> 4];
        out += hex[c & 15];
    };
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c == '\\') {
            out += "\\\\";
            ++i;
        } else if (c < 0x20 || c == 0x7f) {
            escape(c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else {
            // A whole UTF-8 character passes unless it is a C1 control (U+0080..U+009F); a
            // byte that starts no valid character is escaped on its own.
            const std::size_t len = c >= 0xc2 && c <= 0xdf   ? 2
                                    : c >= 0xe0 && c <= 0xef ? 3
                                    : c >= 0xf0 && c <= 0xf4 ? 4
                                                             : 0;
            bool ok = len > 0 && i + len <= n;
            for (std::size_t k = 1; ok && k < len; ++k)
                ok = (s[i + k] & 0xc0) == 0x80;
            if (ok && len == 3) ok = !(c == 0xe0 && s[i + 1] < 0xa0) && !(c == 0xed && s[i + 1] >= 0xa0);
            if (ok && len == 4) ok = !(c == 0xf0 && s[i + 1] < 0x90) && !(c == 0xf4 && s[i + 1] >= 0x90);
            if (ok && len == 2 && c == 0xc2 && s[i + 1] < 0xa0) ok = false;
            if (!ok) {
                escape(c);
                ++i;
                continue;
            }
            out.append(text, i, len);
            i += len;
        }
    }
    return out;
}

int LineMessageHost::MessageBox(const std::string& text, const std::string& caption, int buttons, int) {
    std::string line = caption + ": " + text;
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    m_out << Printable(line) << '\n';
    m_out.flush();
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
}

std::string UsageText() {
    return R"(Usage:
  kintra-cli new OUT.cht
  kintra-cli run IN.cht [-o OUT.cht] [--export OUT [--format tsv|csv]] [--set NAME.pN=VALUE ...]
                 [--settings FILE.ini] [--max-values N] [--stats] [--seed S [--run-index I]]
  kintra-cli sweep IN.cht --vary NAME.pN=FROM:TO:COUNT|NAME.pN=V1,V2,... [--vary ...]
                 [--repeat N] [--seed S] [-j N] -o OUT.h5|OUT.csv [--summary] [--shard K/N]
                 [--compress L]
                 [--settings FILE.ini] [--max-values N]
  kintra-cli merge OUT.h5 PART.h5 [PART.h5 ...]
  kintra-cli info IN.cht
  kintra-cli render IN.cht --window N -o OUT.svg|OUT.pdf|OUT.png [--dpi D] [--run]
                 [--set NAME.pN=VALUE ...] [--settings FILE.ini] [--max-values N]
  kintra-cli --help

Commands:
  new    Writes a new chart as File New and Save would: one Clock, one chart window, the factory
         settings.
  run    Loads IN.cht, sets the requested parameters, carries out the Run command, then
           -o OUT.cht        saves the chart as it then stands (also after a refused run or a
                             run-time error; nothing is written when IN.cht cannot be loaded),
           --export OUT      writes the first List window's values, or, when the chart has no
                             List window, those of a new List window with its default columns
                             and factory settings, in the form --format names:
             --format tsv    (the default) the list's "Print to File" text: the notes, a line of
                             names, the values as the list shows them, every field followed by a
                             tab, CR LF line ends;
             --format csv    CSV: a header row of block names with the Clock (time) first, then
                             the values as the shortest text that reads back as the same double
                             ("nan", "inf", "-inf" otherwise), commas between fields, names
                             quoted where needed, CR LF line ends.
         --set NAME.pN=VALUE sets parameter N (1, 2 or 3) of the first block named NAME before the
                             run; VALUE is a number or an expression such as 2*pi/3 or
                             sqrt(2)/2; it may be given several times.
         --settings FILE.ini reads the user's settings (window and model defaults) from an INI
                             file; without it every setting has its factory default.
         --max-values N      stops the run, as Terminate Run would, once the histories of all
                             blocks together hold N values (default 33554432; 0: no limit).
         --stats             prints what the integrator did on standard output after the run:
                             the steps tried, accepted (taken) and rejected, the derivative
                             evaluations, and the smallest and largest step taken (all 0 when
                             the model has no integrating block or the run was refused).
         --seed S            random blocks whose seed parameter leaves the seed to the clock
                             (a seed outside 2..32767) take the seed run I of a sweep with
                             --seed S gave them instead (--run-index I, default 0): the run
                             repeats that run of the sweep exactly.
  sweep  Runs IN.cht many times, each run a chart of its own, on -j N threads (default: one per
         core), and writes every run's histories into OUT:
           --vary NAME.pN=FROM:TO:COUNT   COUNT evenly spaced values from FROM to TO;
           --vary NAME.pN=V1,V2,...       the values listed (numbers or expressions);
                             several --vary form the grid of all combinations, the first
                             varying slowest.
           --repeat N        runs every point of the grid N times (Monte Carlo);
           --seed S          run i seeds the random blocks that would seed from the clock with
                             a value derived from S and i (see run --seed); with --repeat and
                             no --seed, S is taken from the clock and printed.
           -o OUT.h5         HDF5: /histories [run, sample, block], /time [run, sample],
                             /blocks, /parameter_names, and /runs/ (parameters, seed, status,
                             message, samples and the integrator's figures of every run);
           -o OUT.csv        CSV in long form: run, the varied parameters, time, then every
                             other block, one line per output step of every run.
           --summary         prints, for every block, the mean, standard deviation, minimum and
                             maximum of its final value over the completed runs (and the 5 %
                             and 95 % quantiles with --repeat).
           --compress L      the HDF5 file's deflate level, 0 (none, fastest) to 9 (default 1);
           --shard K/N       runs only the K-th of N equal slices of the runs, with the same run
                             numbers and seeds as the whole sweep (HDF5 only; merge joins them).
         A progress bar is shown on standard error when it is a terminal. A run that fails is
         recorded with its messages and the others go on; failed runs are listed on standard
         error.
  merge  Joins the HDF5 files of the shards of one sweep into OUT.h5, byte for byte the file
         the whole sweep would have written.
  info   Prints the model settings, the title, every block (type, position, name, inputs,
         parameters, history length) and the windows with their titles.
  render Draws window N of IN.cht (numbered from 1 as info lists them) into OUT, in the format
         its extension names:
           .pdf   every page as printing gives it (vector);
           .svg   one picture of the whole chart, graph or list as the window draws it (vector);
           .png   the same as an image at --dpi D dots per inch (default 150, 10 to 1200).
         --run runs the chart first, as run does (--set, --settings and --max-values apply);
         the exit status is then that of run. render needs Qt's painting: it uses the
         offscreen platform unless QT_QPA_PLATFORM names another, and a kintra-cli built
         without the GUI (KINTRA_BUILD_GUI=OFF) refuses it with exit status 2.

Messages the program would show in a box are written to standard error, one line each, as
"CAPTION: TEXT"; a question with OK and Cancel is answered OK.

Exit status:
  0  done (run: the time loop ran and ended at the simulation time or by a Quit block; sweep:
     every run did)
  1  run, render --run: the run was refused by its checks, ended by a run-time error, or
     stopped by --max-values; sweep: at least one run was
  2  wrong arguments, IN.cht could not be loaded, or an output file could not be written (an
     existing output file is then left as it was)
)";
}

namespace {

struct ParamSetting {
    std::string name;
    int index = 0; // 0..2
    double value = 0.0;
    std::string text;
};

// Largest number of recorded values (samples of all blocks together) a run may reach by default.
constexpr std::uint64_t kDefaultMaxValues = std::uint64_t{1} << 25;

struct Options {
    std::uint64_t maxValues = kDefaultMaxValues;
    std::string command;
    std::string input;
    std::string output;
    std::string exportPath;
    std::string exportFormat; // empty: tsv
    std::string settingsPath;
    std::vector<ParamSetting> sets;
    bool help = false;
    bool stats = false;
    // render
    int window = 0; // from 1; 0: not given
    int dpi = 150;
    bool run = false;
    // run and sweep
    std::optional<std::uint64_t> seed;
    std::optional<std::uint64_t> runIndex;
    // sweep
    std::vector<std::string> vary;
    std::uint64_t repeat = 0; // 0: not given
    unsigned jobs = 0;        // 0: one per core
    bool summary = false;
    int compress = -1;                    // -1: not given (1)
    std::uint64_t shardK = 0, shardN = 0; // 0: no shard
    // merge: the parts
    std::vector<std::string> parts;
};

class ArgumentError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

std::string Number(double v) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

ParamSetting ParseSet(const std::string& text) {
    const auto eq = text.rfind('=');
    const auto dotP = eq == std::string::npos ? std::string::npos : text.rfind(".p", eq);
    if (eq == std::string::npos || dotP == std::string::npos || dotP == 0)
        throw ArgumentError("--set wants NAME.pN=VALUE, not '" + text + "'");
    ParamSetting s;
    s.text = text;
    s.name = text.substr(0, dotP);
    const std::string n = text.substr(dotP + 2, eq - dotP - 2);
    int index = 0;
    if (!ParseInt(n, index) || index < 1 || index > 3 ||
        n.find_first_not_of("0123456789") != std::string::npos)
        throw ArgumentError("parameter number '" + n + "' in '" + text + "' is not 1, 2 or 3");
    s.index = index - 1;
    std::string why;
    if (!ReadNumberOrExpression(text.substr(eq + 1), s.value, &why))
        throw ArgumentError("'" + text.substr(eq + 1) + "' in '" + text +
                            "' is neither a number nor an expression (" + why + ")");
    return s;
}

// The extension of a file name in lower case ("" when it has none).
std::string LowerExtension(const std::string& path) {
    const auto dot = path.rfind('.');
    const auto slash = path.rfind('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext;
}

std::uint64_t WholeNumber(const std::string& option, const std::string& v) {
    char* end = nullptr;
    errno = 0;
    const unsigned long long n = std::strtoull(v.c_str(), &end, 10);
    if (v.empty() || *end != '\0' || v[0] == '-' || v[0] == '+' || v[0] == ' ' || errno == ERANGE)
        throw ArgumentError(option + " wants a whole number, not '" + v + "'");
    return n;
}

Options ParseArguments(const std::vector<std::string>& args) {
    Options o;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string a = args[i];
        std::optional<std::string> attached;
        if (a.rfind("--", 0) == 0) {
            if (auto eq = a.find('='); eq != std::string::npos) {
                attached = a.substr(eq + 1);
                a = a.substr(0, eq);
            }
        } else if (a.rfind("-j", 0) == 0 && a.size() > 2) {
            attached = a.substr(2); // -j4
            a = "-j";
        }
        auto value = [&]() -> std::string {
            if (attached) return *attached;
            if (i + 1 >= args.size()) throw ArgumentError(a + " needs a value");
            return args[++i];
        };
        if (a == "--help" || a == "-h") {
            o.help = true;
        } else if (a == "-o" || a == "--output") {
            o.output = value();
            if (o.output.empty()) throw ArgumentError(a + " needs a file name");
        } else if (a == "--export") {
            o.exportPath = value();
            if (o.exportPath.empty()) throw ArgumentError(a + " needs a file name");
        } else if (a == "--format") {
            o.exportFormat = value();
            if (o.exportFormat != "tsv" && o.exportFormat != "csv")
                throw ArgumentError("--format wants tsv or csv, not '" + o.exportFormat + "'");
        } else if (a == "--set") {
            o.sets.push_back(ParseSet(value()));
        } else if (a == "--settings") {
            o.settingsPath = value();
            if (o.settingsPath.empty()) throw ArgumentError(a + " needs a file name");
        } else if (a == "--stats") {
            if (attached) throw ArgumentError("--stats takes no value");
            o.stats = true;
        } else if (a == "--window" || a == "--dpi") {
            const std::string v = value();
            int n = 0;
            if (!ParseInt(v, n) || v.find_first_not_of("0123456789") != std::string::npos || n < 1)
                throw ArgumentError(a + " wants a whole number from 1, not '" + v + "'");
            (a == "--window" ? o.window : o.dpi) = n;
        } else if (a == "--run") {
            if (attached) throw ArgumentError("--run takes no value");
            o.run = true;
        } else if (a == "--max-values") {
            const std::string v = value();
            char* end = nullptr;
            errno = 0;
            const unsigned long long n = std::strtoull(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0' || v[0] == '-' || errno == ERANGE)
                throw ArgumentError("--max-values wants a whole number, not '" + v + "'");
            o.maxValues = n;
        } else if (a == "--seed") {
            o.seed = WholeNumber(a, value());
        } else if (a == "--run-index") {
            o.runIndex = WholeNumber(a, value());
        } else if (a == "--vary") {
            o.vary.push_back(value());
        } else if (a == "--repeat") {
            o.repeat = WholeNumber(a, value());
            if (o.repeat == 0) throw ArgumentError("--repeat wants a whole number from 1");
        } else if (a == "-j" || a == "--jobs") {
            const std::uint64_t n = WholeNumber(a, value());
            if (n < 1 || n > 1024) throw ArgumentError(a + " wants 1 to 1024 threads");
            o.jobs = static_cast<unsigned>(n);
        } else if (a == "--compress") {
            const std::uint64_t n = WholeNumber(a, value());
            if (n > 9) throw ArgumentError("--compress wants 0 to 9");
            o.compress = static_cast<int>(n);
        } else if (a == "--summary") {
            if (attached) throw ArgumentError("--summary takes no value");
            o.summary = true;
        } else if (a == "--shard") {
            const std::string v = value();
            const auto slash = v.find('/');
            if (slash == std::string::npos) throw ArgumentError("--shard wants K/N, not '" + v + "'");
            o.shardK = WholeNumber(a, v.substr(0, slash));
            o.shardN = WholeNumber(a, v.substr(slash + 1));
            if (o.shardK < 1 || o.shardK > o.shardN)
                throw ArgumentError("--shard K/N wants 1 <= K <= N, not '" + v + "'");
        } else if (a.size() > 1 && a[0] == '-') {
            throw ArgumentError("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (o.help) return o;
    if (positional.empty()) throw ArgumentError("no command given");
    o.command = positional[0];
    if (o.command != "new" && o.command != "run" && o.command != "info" && o.command != "render" &&
        o.command != "sweep" && o.command != "merge")
        throw ArgumentError("unknown command '" + o.command + "'");
    const bool sweep = o.command == "sweep";
    const bool sweepOptions =
        !o.vary.empty() || o.repeat != 0 || o.jobs != 0 || o.summary || o.shardN != 0 || o.compress >= 0;
    if (!sweep && sweepOptions)
        throw ArgumentError(
            "--vary, --repeat, -j, --summary, --shard and --compress belong to the sweep command");
    if (o.command != "run" && o.runIndex) throw ArgumentError("--run-index belongs to the run command");
    if (o.command != "run" && !sweep && o.seed)
        throw ArgumentError("--seed belongs to the run and sweep commands");
    if (o.runIndex && !o.seed) throw ArgumentError("--run-index needs --seed");
    if (o.command == "merge") {
        if (positional.size() < 3) throw ArgumentError("merge takes OUT.h5 and at least one PART.h5");
        if (!o.output.empty() || !o.settingsPath.empty() || !o.sets.empty() || o.stats ||
            !o.exportPath.empty() || o.maxValues != kDefaultMaxValues)
            throw ArgumentError("merge takes file names only");
        o.input = positional[1];
        o.parts.assign(positional.begin() + 2, positional.end());
        return o;
    }
    if (positional.size() != 2) throw ArgumentError(o.command + " takes one file name");
    o.input = positional[1];
    if (sweep) {
        if (o.vary.empty() && o.repeat == 0) throw ArgumentError("sweep needs --vary or --repeat");
        if (o.output.empty()) throw ArgumentError("sweep needs -o OUT.h5 or OUT.csv");
        const std::string lower = LowerExtension(o.output);
        if (lower != "h5" && lower != "hdf5" && lower != "csv")
            throw ArgumentError("cannot tell the format of '" + o.output +
                                "': its name must end in .h5 or .csv");
        if ((o.shardN != 0 || o.compress >= 0) && lower == "csv")
            throw ArgumentError("--shard and --compress write HDF5 files only");
        if (o.shardN > 1 && o.repeat != 0 && !o.seed)
            throw ArgumentError("--shard with --repeat needs --seed, so that every shard seeds alike");
        if (!o.sets.empty() || !o.exportPath.empty() || o.stats)
            throw ArgumentError("--set, --export and --stats belong to the run command");
        return o;
    }
    const bool render = o.command == "render";
    const bool renderOptions = o.window != 0 || o.dpi != 150 || o.run;
    if (!render && renderOptions)
        throw ArgumentError("--window, --dpi and --run belong to the render command");
    if (render) {
        if (o.window == 0) throw ArgumentError("render needs --window N");
        if (o.output.empty()) throw ArgumentError("render needs -o OUT.svg, OUT.pdf or OUT.png");
        if (!o.exportPath.empty()) throw ArgumentError("--export belongs to the run command");
        if (o.dpi < 10 || o.dpi > 1200)
            throw ArgumentError("--dpi wants 10 to 1200, not " + std::to_string(o.dpi));
        const std::string lower = LowerExtension(o.output);
        if (lower != "svg" && lower != "pdf" && lower != "png")
            throw ArgumentError("cannot tell the format of '" + o.output +
                                "': its name must end in .svg, .pdf or .png");
    }
    const bool runOptions =
        !o.output.empty() || !o.exportPath.empty() || !o.sets.empty() || o.maxValues != kDefaultMaxValues;
    if (o.command != "run" && !render && runOptions)
        throw ArgumentError("-o, --export, --set and --max-values belong to the run command");
    if (o.command != "run" && o.stats) throw ArgumentError("--stats belongs to the run command");
    if (!o.exportFormat.empty() && o.exportPath.empty()) throw ArgumentError("--format belongs to --export");
    if (o.command == "new" && !o.settingsPath.empty())
        throw ArgumentError("new always uses the factory settings");
    return o;
}

// The command-line tool's windows: headless chart, graph and list views, and a run window that
// watches the size of the histories, since nobody is there to click it.
class CliWindows : public HeadlessWindowHost {
  public:
    // A stop for --max-values is told on `err`, or, without one (a run of a sweep), as a message
    // box of the run.
    CliWindows(std::uint64_t maxValues, std::ostream* err) : m_maxValues(maxValues), m_err(err) {}

    CView* OpenRunWindow(COrventDoc&) override { return &m_runWindow; }
    void RunWindowStep(COrventDoc& doc) override {
        if (m_maxValues == 0 || doc.Blocks.empty()) return;
        const std::uint64_t values =
            static_cast<std::uint64_t>(doc.Blocks.front()->HistorySize()) * doc.Blocks.size();
        if (values < m_maxValues) return;
        const std::string text = "run stopped at time " + Number(doc.CurrentTime) + ": the histories hold " +
                                 std::to_string(values) + " values (--max-values " +
                                 std::to_string(m_maxValues) + ")";
        if (m_err)
            *m_err << "kintra-cli: " << text << "\n";
        else
            Platform().Messages().MessageBox(text, "kintra-cli", MB_OK);
        doc.OnTerminateRun();
    }

  private:
    CView m_runWindow;
    std::uint64_t m_maxValues;
    std::ostream* m_err;
};

// Texts from a chart, quoted, with control characters escaped so that none reaches the terminal.
std::string Quoted(const std::string& s) {
    std::string quoted(1, '"');
    quoted.append(Printable(s)).push_back('"');
    return quoted;
}

std::string PositionText(const CPoint& p) {
    return FormatString("(%d, %d)", p.x, p.y);
}

std::string KindText(int kind) {
    switch (kind) {
    case BK_ALGEBRAIC:
        return "algebraic";
    case BK_INTEGRATING:
        return "integrating";
    case BK_CONSTANT:
        return "constant";
    case BK_SOURCE:
        return "source";
    case BK_COMPANION:
        return "companion";
    default:
        return "kind " + std::to_string(kind);
    }
}

std::string BlockRef(const CBlock* b) {
    return b ? Quoted(b->Name) + " " + PositionText(b->Position) : "none";
}

void PrintInfo(const COrventDoc& doc, const std::string& path, std::ostream& out) {
    out << "File: " << Printable(path) << "\n";
    out << "Data version: " << Number(doc.FileVersion) << "\n";
    out << "Title: " << Quoted(doc.Title) << "\n";
    out << "Model settings: VertLines " << doc.VertLines << ", HorizLines " << doc.HorizLines << ", MaxSort "
        << doc.MaxSort << ", IntStyle " << doc.IntStyle
        << (doc.IntStyle == 0   ? " (Runge-Kutta 4/5)"
            : doc.IntStyle == 1 ? " (Runge-Kutta 7/8)"
                                : "")
        << ", PrintMode " << doc.PrintMode << ", MaxSteps " << Number(doc.MaxSteps) << "\n";
    out << "Blocks: " << doc.Blocks.size() << "\n";
    int index = 0;
    for (const auto& p : doc.Blocks) {
        const CBlock& b = *p;
        out << "  " << ++index << ". " << b.TypeName << " " << Quoted(b.Name) << " at "
            << PositionText(b.Position) << ", " << KindText(b.Kind);
        if (b.AtFirst) out << ", computed at first";
        if (b.Invert) out << ", inverted";
        out << "\n";
        out << "     inputs:";
        for (int i = 0; i < 3; ++i)
            out << " " << (i + 1) << "=" << (b.Inputs[i] ? Quoted(b.Inputs[i]->Name) : "-");
        out << "\n     parameters:";
        for (int i = 0; i < 3; ++i) {
            out << " p" << (i + 1) << "=" << Number(b.Params[i]);
            if (i < b.ParamsShown) out << " (" << Printable(b.ParamLabels[i]) << ")";
            if (i < 2) out << ";";
        }
        out << "\n     history: " << b.HistorySize() << " values";
        if (!b.Notes.empty()) out << "\n     notes: " << Quoted(b.Notes);
        out << "\n";
    }
    out << "Windows: " << doc.Views().size() << "\n";
    index = 0;
    for (const CView* v : doc.Views()) {
        out << "  " << ++index << ". ";
        if (const auto* chart = dynamic_cast<const COrventView*>(v)) {
            out << "Chart (COrventView), title " << Quoted(chart->ChartTitle) << "\n";
        } else if (const auto* graph = dynamic_cast<const CGraphBase*>(v)) {
            out << "Graph (CGraphBase), title " << Quoted(graph->GraphTitle) << ", X "
                << BlockRef(graph->Traces[0]);
            for (int i = 1; i <= graph->LastTrace && i <= 3; ++i)
                out << ", graph " << i << " " << BlockRef(graph->Traces[static_cast<std::size_t>(i)]);
            out << "\n";
        } else if (const auto* list = dynamic_cast<const CListBase*>(v)) {
            out << "List (CListBase), title " << Quoted(list->ListTitle) << ", columns";
            if (list->Columns.empty()) out << " none";
            for (const CBlock* b : list->Columns)
                out << " " << (b ? Quoted(b->Name) : "(none)");
            out << "\n";
        } else {
            out << v->GetViewClassName() << "\n";
        }
    }
}

// The first List window's text or CSV, or a new List window's (default columns, factory
// settings).
bool ExportList(COrventDoc& doc, const std::string& path, CListBase::FileKind kind, MessageHost& messages) {
    const CListBase* list = nullptr;
    for (const CView* v : doc.Views())
        if ((list = dynamic_cast<const CListBase*>(v))) break;
    std::unique_ptr<CListBase> fresh;
    if (!list) {
        fresh = std::make_unique<CListBase>();
        fresh->Settings.Reset();
        fresh->Settings.CopyValuesFrom(fresh->Settings);
        doc.AddView(fresh.get());
        fresh->OnInitialUpdate();
        list = fresh.get();
    }
    std::string error;
    const bool ok = list->PrintToFile(path, error, kind);
    if (fresh) doc.RemoveView(fresh.get());
    if (!ok)
        messages.MessageBox("Unable to write the file '" + path + "': " + error + ".", "Export Error", MB_OK);
    return ok;
}

int CommandNew(const Options& o) {
    auto doc = NewChartDocument();
    if (!doc) {
        Platform().Messages().MessageBox("Command failed.", "Kintra", MB_OK);
        return kExitError;
    }
    const bool saved = doc->OnSaveDocument(o.input);
    CloseChartDocument(std::move(doc));
    return saved ? kExitOk : kExitError;
}

int CommandInfo(const Options& o, std::ostream& out) {
    auto doc = OpenChartDocument(o.input);
    if (!doc) return kExitError;
    PrintInfo(*doc, o.input, out);
    CloseChartDocument(std::move(doc));
    return kExitOk;
}

// The integrator's figures of the last run, one per line.
void PrintStatistics(const IntegratorStatistics& s, std::ostream& out) {
    const std::pair<const char*, std::string> lines[] = {
        {"Steps tried:", std::to_string(s.tried)},
        {"Steps accepted:", std::to_string(s.accepted)},
        {"Steps rejected:", std::to_string(s.rejected)},
        {"Derivative evaluations:", std::to_string(s.evaluations)},
        {"Smallest step:", Number(s.smallestStep)},
        {"Largest step:", Number(s.largestStep)},
    };
    for (const auto& [label, value] : lines) {
        std::string line = label;
        line.append(25 - line.size(), ' ');
        out << line << value << "\n";
    }
}

// Applies every --set to `doc`; false (with a message on `err`) when a name is nowhere.
bool ApplySettings(const Options& o, COrventDoc& docRef, std::ostream& err) {
    COrventDoc* doc = &docRef;
    for (const ParamSetting& s : o.sets) {
        CBlock* target = nullptr;
        for (const auto& b : doc->Blocks)
            if (b->Name == s.name) {
                target = b.get();
                break;
            }
        if (!target) {
            err << "kintra-cli: no block is named '" << Printable(s.name) << "' (in --set "
                << Printable(s.text) << ")\n";
            return false;
        }
        target->Params[static_cast<std::size_t>(s.index)] = s.value;
        doc->SetModifiedFlag();
    }
    return true;
}

int CommandRun(const Options& o, std::ostream& out, std::ostream& err, MessageHost& messages) {
    auto doc = OpenChartDocument(o.input);
    if (!doc) return kExitError;
    if (!ApplySettings(o, *doc, err)) {
        CloseChartDocument(std::move(doc));
        return kExitError;
    }

    if (o.seed) doc->ClockSeed = DerivedSeed(*o.seed, o.runIndex.value_or(0));
    doc->RunSimulation();
    if (o.stats) PrintStatistics(doc->RunStatistics, out);
    const RunOutcome outcome = doc->LastRunOutcome;
    int status = outcome == RunOutcome::Completed ? kExitOk : kExitRunFailed;

    if (!o.output.empty() && !doc->OnSaveDocument(o.output)) status = kExitError;
    const auto kind = o.exportFormat == "csv" ? CListBase::FileKind::Csv : CListBase::FileKind::Text;
    if (!o.exportPath.empty() && !ExportList(*doc, o.exportPath, kind, messages)) status = kExitError;
    CloseChartDocument(std::move(doc));
    return status;
}

int CommandRender(const Options& o, std::ostream& err, MessageHost& messages) {
#if KINTRA_HAVE_RENDER
    EnsurePaintingApplication();
    auto doc = OpenChartDocument(o.input);
    if (!doc) return kExitError;
    int status = kExitOk;
    if (!ApplySettings(o, *doc, err)) status = kExitError;
    if (status == kExitOk && o.run) {
        doc->RunSimulation();
        if (doc->LastRunOutcome != RunOutcome::Completed) status = kExitRunFailed;
    }
    const auto& views = doc->Views();
    CView* view = nullptr;
    if (status != kExitError && static_cast<std::size_t>(o.window) > views.size()) {
        err << "kintra-cli: there is no window " << o.window << ": " << Printable(o.input) << " has "
            << views.size() << (views.size() == 1 ? " window" : " windows") << " (see kintra-cli info)\n";
        status = kExitError;
    } else if (status != kExitError) {
        view = views[static_cast<std::size_t>(o.window - 1)];
    }
    if (view) {
        ExportOptions options;
        options.dpi = o.dpi;
        options.title = doc->Title;
        std::string error;
        if (!ExportView(*view, o.output, *ExportFormatOf(o.output), options, error)) {
            messages.MessageBox("Unable to write the file '" + o.output + "': " + error + ".", "Export Error",
                                MB_OK);
            status = kExitError;
        }
    }
    CloseChartDocument(std::move(doc));
    return status;
#else
    (void)o;
    (void)messages;
    err << "kintra-cli: render is not available in this build (kintra-cli was built without Qt)\n";
    return kExitError;
#endif
}

// "M:SS" or "H:MM:SS".
std::string Duration(double seconds) {
    const auto s = static_cast<long long>(std::max(0.0, seconds) + 0.5);
    return s >= 3600 ? FormatString("%lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60)
                     : FormatString("%lld:%02lld", s / 60, s % 60);
}

// The progress line of a sweep on a terminal: a bar, the runs done, the runs per second and the
// time left, redrawn at most ten times a second.
class ProgressBar {
  public:
    explicit ProgressBar(std::ostream& err) : m_err(err), m_start(Clock::now()), m_last(m_start) {}
    void Show(std::uint64_t done, std::uint64_t total) {
        const auto now = Clock::now();
        if (done < total && now - m_last < std::chrono::milliseconds(100)) return;
        m_last = now;
        const double elapsed = std::chrono::duration<double>(now - m_start).count();
        const double rate = elapsed > 0 ? static_cast<double>(done) / elapsed : 0.0;
        const int width = 30;
        const int filled =
            total ? static_cast<int>(static_cast<double>(done) * width / static_cast<double>(total)) : width;
        std::string line = "\r[";
        line.append(static_cast<std::size_t>(filled), '#')
            .append(static_cast<std::size_t>(width - filled), ' ');
        line += FormatString("] %llu/%llu runs, %.1f runs/s, ", static_cast<unsigned long long>(done),
                             static_cast<unsigned long long>(total), rate);
        line += rate > 0 ? Duration(static_cast<double>(total - done) / rate) + " left" : "--:-- left";
        line += "\x1b[K";
        if (done == total) line += "\n";
        m_err << line << std::flush;
    }

  private:
    using Clock = std::chrono::steady_clock;
    std::ostream& m_err;
    Clock::time_point m_start;
    Clock::time_point m_last;
};

int CommandSweep(const Options& o, std::ostream& out, std::ostream& err, SettingsStore* store) {
    std::vector<std::uint8_t> chart;
    std::string error;
    if (!ReadWholeFile(o.input, chart, error)) {
        err << "kintra-cli: cannot read '" << Printable(o.input) << "': " << Printable(error) << "\n";
        return kExitError;
    }
    SweepPlan plan;
    SweepOptions options;
    try {
        for (const std::string& v : o.vary)
            plan.Axes.push_back(ParseSweepAxis(v));
        plan.Repeat = o.repeat ? o.repeat : 1;
        plan.Seed = o.seed;
        if (!plan.Seed && o.repeat != 0) {
            plan.Seed = static_cast<std::uint64_t>(std::time(nullptr));
            err << "kintra-cli: --seed " << *plan.Seed << "\n";
        }
        if (o.shardN) options.Range = ShardRange(plan.RunCount(), o.shardK, o.shardN);
    } catch (const SweepError& e) {
        err << "kintra-cli: " << Printable(e.what()) << "\nTry 'kintra-cli --help'.\n";
        return kExitError;
    }
    const std::uint64_t maxValues = o.maxValues;
    options.Threads = o.jobs;
    options.Settings = dynamic_cast<const MemorySettingsStore*>(store);
    options.MakeWindows = [maxValues] { return std::make_unique<CliWindows>(maxValues, nullptr); };
    std::optional<ProgressBar> bar;
    if (isatty(STDERR_FILENO) && &err == &std::cerr) bar.emplace(err);
    options.Progress = [&](std::uint64_t done, std::uint64_t total) {
        if (bar) bar->Show(done, total);
    };

    std::unique_ptr<SweepSink> file;
    if (LowerExtension(o.output) == "csv")
        file = std::make_unique<CsvSweepWriter>(o.output);
    else
        file = std::make_unique<Hdf5SweepWriter>(o.output, o.compress < 0 ? 1 : o.compress);
    // Counts and lists the runs that did not complete.
    class Failures : public SweepSink {
      public:
        Failures(SweepSink& next, std::ostream& err, bool terminal)
            : m_next(next), m_err(err), m_terminal(terminal) {}
        void Begin(const SweepHeader& h) override {
            m_labels = h.AxisLabels;
            m_next.Begin(h);
        }
        void Write(const SweepRun& run) override {
            if (run.Status != SweepStatus::Completed && ++count <= kListed) {
                std::string line = "kintra-cli: run " + std::to_string(run.Run);
                for (std::size_t a = 0; a < run.Values.size(); ++a)
                    line += (a ? ", " : " (") + m_labels[a] + "=" + ExactNumber(run.Values[a]) +
                            (a + 1 == run.Values.size() ? ")" : "");
                line.append(" ").append(SweepStatusName(run.Status));
                std::string message = run.Message;
                std::replace(message.begin(), message.end(), '\n', ';');
                if (!message.empty()) line.append(": ").append(message);
                // On a terminal the line takes the place of the progress bar, which is drawn again.
                m_err << (m_terminal ? "\r\x1b[K" : "") << Printable(line) << "\n";
            }
            m_next.Write(run);
        }
        void Prepare(SweepRun& run) const override { m_next.Prepare(run); }
        void End() override {
            if (count > kListed)
                m_err << "kintra-cli: " << count - kListed << " more runs did not complete\n";
            m_next.End();
        }
        std::uint64_t count = 0;

      private:
        const std::uint64_t kListed = 20;
        SweepSink& m_next;
        std::ostream& m_err;
        bool m_terminal;
        std::vector<std::string> m_labels;
    } failures(*file, err, bar.has_value());
    SweepSummary summary(&failures);
    try {
        RunSweep(chart, plan, options, summary);
    } catch (const SweepError& e) {
        err << "\nkintra-cli: " << Printable(e.what()) << "\n";
        return kExitError;
    }
    if (o.summary) summary.Print(out, o.repeat > 1, [](const std::string& s) { return Printable(s); });
    return failures.count ? kExitRunFailed : kExitOk;
}

int CommandMerge(const Options& o, std::ostream& err) {
    try {
        MergeSweepFiles(o.input, o.parts);
    } catch (const SweepError& e) {
        err << "kintra-cli: " << Printable(e.what()) << "\n";
        return kExitError;
    }
    return kExitOk;
}

} // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           MessageHost& messages) {
    RegisterBlockTypes();
    Options o;
    try {
        o = ParseArguments(args);
    } catch (const ArgumentError& e) {
        err << "kintra-cli: " << Printable(e.what()) << "\nTry 'kintra-cli --help'.\n";
        return kExitError;
    }
    if (o.help) {
        out << UsageText();
        return kExitOk;
    }

    std::unique_ptr<SettingsStore> store;
    if (o.settingsPath.empty()) {
        store = std::make_unique<MemorySettingsStore>();
    } else {
        auto ini = std::make_unique<IniSettingsStore>(o.settingsPath);
        if (!ini->Loaded()) {
            err << "kintra-cli: cannot read the settings file '" << Printable(o.settingsPath)
                << "': " << ini->LoadError() << "\n";
            return kExitError;
        }
        store = std::move(ini);
    }
    CliWindows windows(o.maxValues, &err);
    // The desktop's colours do not exist here: window text is black on white.
    SetSysColor(COLOR_WINDOW, RGB(255, 255, 255));
    SetSysColor(COLOR_WINDOWTEXT, RGB(0, 0, 0));
    ScopedPlatform platform(store.get(), &messages, &windows);

    if (o.command == "new") return CommandNew(o);
    if (o.command == "info") return CommandInfo(o, out);
    if (o.command == "render") return CommandRender(o, err, messages);
    if (o.command == "sweep") return CommandSweep(o, out, err, store.get());
    if (o.command == "merge") return CommandMerge(o, err);
    return CommandRun(o, out, err, messages);
}

} // namespace kintra::cli
