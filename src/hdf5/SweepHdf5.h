#pragma once
// Sweep results in an HDF5 file, and shard files joined into one.
//
// Layout (every dataset chunked and compressed; no timestamps, so the same runs always give the
// same bytes):
//   attributes of /   format "kintra-sweep 1", total_runs, first_run, last_run (the runs held,
//                     [first, last)), repeat, deflate_level, and seed when the sweep had one
//   /blocks           the block names, in the chart's order (strings)
//   /parameter_names  "NAME.pN" of every varied parameter (strings)
//   /histories        float64 [run, sample, block]; NaN beyond a run's samples
//   /time             float64 [run, sample]: the Clock's history
//   /runs/...         one value per run: run, parameters [run, axis], seed (-1: none), status
//                     (0 completed, 1 refused, 2 failed, 3 stopped), message, samples,
//                     steps_tried, steps_accepted, steps_rejected, evaluations, smallest_step,
//                     largest_step

#include "model/Sweep.h"

#include <memory>
#include <string>
#include <vector>

namespace kintra {

// Writes the runs into `path`: into a temporary file beside it, renamed over it at End; a failed
// or cancelled sweep leaves an existing file as it was. Errors throw SweepError. `level` is the
// deflate level of every dataset (with the shuffle filter), 0 for none: compression costs a
// small, fast run several times its own time.
class Hdf5SweepWriter : public SweepSink {
  public:
    explicit Hdf5SweepWriter(std::string path, int level = 1);
    ~Hdf5SweepWriter() override;
    void Begin(const SweepHeader& header) override;
    void Write(const SweepRun& run) override;
    void End() override;
    // Compresses the run's chunks (on the worker's thread).
    void Prepare(SweepRun& run) const override;

    struct State;

  private:
    std::unique_ptr<State> m_state;
};

// Reads a sweep file: its header, then every run it holds in order. Throws SweepError when the
// file cannot be read or is no sweep file.
void ReadSweepFile(const std::string& path, SweepHeader& header,
                   const std::function<void(const SweepRun&)>& each);

// Joins shard files of one sweep into `output`, which is then byte for byte the file the whole
// sweep would have written (at the parts' compression level). Throws SweepError when the parts are of
// different sweeps, overlap or leave runs out.
void MergeSweepFiles(const std::string& output, const std::vector<std::string>& parts);

} // namespace kintra
