#include "model/SweepOutput.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kintra {

namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// Linear interpolation at p between the values of `sorted`.
double Quantile(const std::vector<double>& sorted, double p) {
    if (sorted.empty()) return std::nan("");
    const double at = p * static_cast<double>(sorted.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(at));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - static_cast<double>(below));
}

// Appends the shortest text that reads back as `v` (see ExactNumber).
void AppendNumber(std::string& out, double v) {
    if (std::isnan(v)) {
        out += "nan";
    } else if (std::isinf(v)) {
        out += v > 0 ? "inf" : "-inf";
    } else {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        out.append(buf, r.ptr);
    }
}

// The CSV rows of a run.
std::vector<std::uint8_t> RunRows(const SweepRun& run, std::size_t blocks) {
    std::string prefix = std::to_string(run.Run);
    for (double v : run.Values) {
        prefix += ',';
        AppendNumber(prefix, v);
    }
    std::string text;
    for (std::size_t s = 0; s < run.Samples; ++s) {
        text += prefix;
        for (std::size_t b = 0; b < blocks; ++b) {
            text += ',';
            AppendNumber(text, run.Histories[s * blocks + b]);
        }
        text += '\n';
    }
    return {text.begin(), text.end()};
}

} // namespace

std::string ExactNumber(double v) {
    std::string text;
    AppendNumber(text, v);
    return text;
}

CsvSweepWriter::CsvSweepWriter(std::string path) : m_path(std::move(path)) {
    m_temporary = m_path + ".part";
}

CsvSweepWriter::~CsvSweepWriter() {
    if (m_file) {
        std::fclose(m_file);
        std::remove(m_temporary.c_str());
    }
}

void CsvSweepWriter::Begin(const SweepHeader& header) {
    m_file = std::fopen(m_temporary.c_str(), "wb");
    if (!m_file) throw SweepError("cannot write '" + m_temporary + "'");
    m_blocks = header.BlockNames.size();
    std::string line = "run";
    for (const std::string& label : header.AxisLabels)
        line.append(",").append(CsvField(label));
    line.append(",time");
    for (std::size_t b = 1; b < m_blocks; ++b)
        line.append(",").append(CsvField(header.BlockNames[b]));
    line += '\n';
    std::fputs(line.c_str(), m_file);
}

void CsvSweepWriter::Write(const SweepRun& run) {
    std::vector<std::uint8_t> rowsHere;
    const auto& rows = run.Prepared.size() == 1 ? run.Prepared.front() : (rowsHere = RunRows(run, m_blocks));
    // A run without samples (refused) has no rows, and an empty buffer may have no storage.
    if (!rows.empty()) std::fwrite(rows.data(), 1, rows.size(), m_file);
}

void CsvSweepWriter::Prepare(SweepRun& run) const {
    run.Prepared.clear();
    run.Prepared.push_back(RunRows(run, m_blocks));
}

void CsvSweepWriter::End() {
    const bool ok = std::ferror(m_file) == 0;
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!ok || !closed || std::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
        std::remove(m_temporary.c_str());
        throw SweepError("cannot write '" + m_path + "'");
    }
}

void SweepSummary::Begin(const SweepHeader& header) {
    m_names = header.BlockNames;
    m_finals.assign(m_names.size(), {});
    if (m_next) m_next->Begin(header);
}

void SweepSummary::Write(const SweepRun& run) {
    ++m_seen;
    if (run.Status != SweepStatus::Completed) {
        ++m_failed;
    } else if (run.Samples > 0) {
        const std::size_t blocks = m_names.size();
        for (std::size_t b = 0; b < blocks; ++b) {
            const double v = run.Histories[(run.Samples - 1) * blocks + b];
            if (!std::isnan(v)) m_finals[b].push_back(v);
        }
    }
    if (m_next) m_next->Write(run);
}

void SweepSummary::End() {
    if (m_next) m_next->End();
}

std::vector<SweepSummary::Row> SweepSummary::Rows() const {
    std::vector<Row> rows;
    for (std::size_t b = 0; b < m_names.size(); ++b) {
        Row row;
        row.block = m_names[b];
        std::vector<double> v = m_finals[b];
        row.runs = v.size();
        if (v.empty()) {
            row.mean = row.sd = row.min = row.max = row.q05 = row.q95 = std::nan("");
        } else {
            std::sort(v.begin(), v.end());
            // Sums of the differences from the smallest value: runs that all end alike give that
            // value and a deviation of exactly 0.
            const double n = static_cast<double>(v.size());
            const double shift = v.front();
            double sum = 0.0;
            for (double x : v)
                sum += x - shift;
            const double offset = sum / n;
            row.mean = shift + offset;
            double squares = 0.0;
            for (double x : v)
                squares += (x - shift - offset) * (x - shift - offset);
            // The sample standard deviation (n - 1); 0 for a single run.
            row.sd = v.size() > 1 ? std::sqrt(squares / (n - 1)) : 0.0;
            row.min = v.front();
            row.max = v.back();
            row.q05 = Quantile(v, 0.05);
            row.q95 = Quantile(v, 0.95);
        }
        rows.push_back(row);
    }
    return rows;
}

void SweepSummary::Print(std::ostream& out, bool quantiles, std::string (*shown)(const std::string&)) const {
    out << "Runs: " << m_seen << ", failed: " << m_failed << "\n";
    out << "Final values over the completed runs:\n";
    std::size_t width = 5;
    for (const std::string& name : m_names)
        width = std::max(width, shown(name).size());
    auto cell = [](const std::string& text, std::size_t w) {
        std::string s = text;
        if (s.size() < w) s.insert(0, w - s.size(), ' ');
        return s;
    };
    std::string head = "Block";
    head.append(width - head.size(), ' ');
    head += cell("runs", 8);
    for (const char* title : {"mean", "sd", "min", "max"})
        head += cell(title, 14);
    if (quantiles)
        for (const char* title : {"q05", "q95"})
            head += cell(title, 14);
    out << head << "\n";
    char buf[64];
    auto number = [&](double v) {
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return cell(buf, 14);
    };
    for (const Row& row : Rows()) {
        std::string line = shown(row.block);
        line.append(width - line.size(), ' ');
        line += cell(std::to_string(row.runs), 8);
        line += number(row.mean) + number(row.sd) + number(row.min) + number(row.max);
        if (quantiles) line += number(row.q05) + number(row.q95);
        out << line << "\n";
    }
}

} // namespace kintra
