#pragma once
// What a sweep's runs become besides an HDF5 file: a CSV file in long form, and a summary of the
// final values over the runs.

#include "model/Sweep.h"

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace kintra {

// Doubles as the shortest text that reads back as the same value ("nan", "inf", "-inf" otherwise).
std::string ExactNumber(double v);

// One row per output step of every run: run, the value of each axis, time (the Clock's history),
// then every other block's value. A header row of names first; commas between fields, names quoted
// where needed, LF line ends. Runs that recorded nothing have no row. The file is written beside
// `path` and renamed over it at End, so a failed or cancelled sweep leaves an old file as it was.
class CsvSweepWriter : public SweepSink {
  public:
    explicit CsvSweepWriter(std::string path);
    ~CsvSweepWriter() override;
    void Begin(const SweepHeader& header) override;
    void Write(const SweepRun& run) override;
    void End() override;
    // The run's rows as text, made on the worker's thread.
    void Prepare(SweepRun& run) const override;

  private:
    std::string m_path;
    std::string m_temporary;
    std::FILE* m_file = nullptr;
    std::size_t m_blocks = 0;
};

// Passes every call on to `next` (when there is one) and keeps the final value of every block of
// every completed run, to tell their mean, standard deviation, extremes and quantiles afterwards.
class SweepSummary : public SweepSink {
  public:
    explicit SweepSummary(SweepSink* next = nullptr) : m_next(next) {}
    void Begin(const SweepHeader& header) override;
    void Write(const SweepRun& run) override;
    void End() override;
    void Prepare(SweepRun& run) const override {
        if (m_next) m_next->Prepare(run);
    }

    struct Row {
        std::string block;
        std::size_t runs = 0; // completed runs that recorded the block
        double mean = 0, sd = 0, min = 0, max = 0;
        // Quantiles by linear interpolation between the sorted final values (NaN without runs).
        double q05 = 0, q95 = 0;
    };
    // One row per block, in the chart's order.
    std::vector<Row> Rows() const;
    std::uint64_t RunsSeen() const { return m_seen; }
    std::uint64_t RunsFailed() const { return m_failed; }
    // The table as printed: a line per block; the quantile columns when `quantiles` is set. Block
    // names pass through `shown` (which may escape what a terminal should not see).
    void Print(std::ostream& out, bool quantiles, std::string (*shown)(const std::string&)) const;

  private:
    SweepSink* m_next;
    std::vector<std::string> m_names;
    std::vector<std::vector<double>> m_finals; // per block
    std::uint64_t m_seen = 0;
    std::uint64_t m_failed = 0;
};

} // namespace kintra
