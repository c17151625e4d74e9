#include "hdf5/SweepHdf5.h"

#include <hdf5.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

namespace kintra {

namespace {

const char* const kFormat = "kintra-sweep 1";
// Runs per chunk of the per-run columns, and per batch written at once.
constexpr hsize_t kRunChunk = 1024;
// Samples per chunk of the histories.
constexpr hsize_t kSampleChunk = 256;

void Check(herr_t status, const char* what) {
    if (status < 0) throw SweepError(std::string("HDF5: cannot ") + what);
}
hid_t Checked(hid_t id, const char* what) {
    if (id < 0) throw SweepError(std::string("HDF5: cannot ") + what);
    return id;
}

// Closes an HDF5 identifier with the function its kind wants.
class Handle {
  public:
    Handle() = default;
    Handle(hid_t id, herr_t (*close)(hid_t)) : m_id(id), m_close(close) {}
    Handle(Handle&& o) noexcept : m_id(o.m_id), m_close(o.m_close) { o.m_id = -1; }
    Handle& operator=(Handle&& o) noexcept {
        if (this != &o) {
            Reset();
            m_id = o.m_id;
            m_close = o.m_close;
            o.m_id = -1;
        }
        return *this;
    }
    ~Handle() { Reset(); }
    void Reset() {
        if (m_id >= 0 && m_close) m_close(m_id);
        m_id = -1;
    }
    hid_t get() const { return m_id; }

  private:
    hid_t m_id = -1;
    herr_t (*m_close)(hid_t) = nullptr;
};

Handle Space(std::vector<hsize_t> dims, std::vector<hsize_t> max = {}) {
    if (max.empty()) max = dims;
    return {Checked(H5Screate_simple(static_cast<int>(dims.size()), dims.data(), max.data()), "make a space"),
            H5Sclose};
}

Handle StringType() {
    Handle t(Checked(H5Tcopy(H5T_C_S1), "make a string type"), H5Tclose);
    Check(H5Tset_size(t.get(), H5T_VARIABLE), "make a string type");
    Check(H5Tset_cset(t.get(), H5T_CSET_UTF8), "make a string type");
    return t;
}

// A chunked, compressed dataset whose first dimension is the runs (unlimited, so a chunk may be
// longer than a short file's runs) and whose other dimensions are fixed, except where `growing`
// marks one that grows with the runs' samples.
Handle CreateSet(hid_t loc, const char* name, hid_t type, int level, std::vector<hsize_t> dims,
                 std::vector<hsize_t> chunk, std::vector<bool> growing = {}, const double* fill = nullptr) {
    std::vector<hsize_t> max = dims;
    max[0] = H5S_UNLIMITED;
    for (std::size_t i = 0; i < growing.size(); ++i)
        if (growing[i]) max[i] = H5S_UNLIMITED;
    Handle space = Space(dims, max);
    Handle dcpl(Checked(H5Pcreate(H5P_DATASET_CREATE), "make a dataset"), H5Pclose);
    Check(H5Pset_obj_track_times(dcpl.get(), 0), "turn timestamps off");
    Check(H5Pset_chunk(dcpl.get(), static_cast<int>(chunk.size()), chunk.data()), "chunk a dataset");
    if (level > 0) {
        if (H5Tget_class(type) != H5T_STRING) Check(H5Pset_shuffle(dcpl.get()), "shuffle a dataset");
        Check(H5Pset_deflate(dcpl.get(), static_cast<unsigned>(level)), "compress a dataset");
    }
    if (fill) Check(H5Pset_fill_value(dcpl.get(), H5T_NATIVE_DOUBLE, fill), "set a fill value");
    return {Checked(H5Dcreate2(loc, name, type, space.get(), H5P_DEFAULT, dcpl.get(), H5P_DEFAULT),
                    (std::string("create ") + name).c_str()),
            H5Dclose};
}

void WriteStrings(hid_t loc, const char* name, const std::vector<std::string>& texts) {
    Handle type = StringType();
    Handle space = Space({texts.size()});
    Handle dcpl(Checked(H5Pcreate(H5P_DATASET_CREATE), "make a dataset"), H5Pclose);
    Check(H5Pset_obj_track_times(dcpl.get(), 0), "turn timestamps off");
    Handle set(Checked(H5Dcreate2(loc, name, type.get(), space.get(), H5P_DEFAULT, dcpl.get(), H5P_DEFAULT),
                       "create a list of names"),
               H5Dclose);
    std::vector<const char*> pointers;
    for (const std::string& t : texts)
        pointers.push_back(t.c_str());
    if (!texts.empty())
        Check(H5Dwrite(set.get(), type.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, pointers.data()), "write names");
}

std::vector<std::string> ReadStrings(hid_t loc, const char* name) {
    Handle set(Checked(H5Dopen2(loc, name, H5P_DEFAULT), (std::string("find ") + name).c_str()), H5Dclose);
    Handle space(Checked(H5Dget_space(set.get()), "read a space"), H5Sclose);
    const hssize_t n = H5Sget_simple_extent_npoints(space.get());
    std::vector<char*> pointers(static_cast<std::size_t>(std::max<hssize_t>(n, 0)), nullptr);
    std::vector<std::string> texts;
    if (pointers.empty()) return texts;
    Handle type = StringType();
    Check(H5Dread(set.get(), type.get(), H5S_ALL, H5S_ALL, H5P_DEFAULT, pointers.data()), "read names");
    for (char* p : pointers)
        texts.emplace_back(p ? p : "");
    H5Dvlen_reclaim(type.get(), space.get(), H5P_DEFAULT, pointers.data());
    return texts;
}

void WriteAttribute(hid_t loc, const char* name, std::uint64_t value) {
    Handle space(Checked(H5Screate(H5S_SCALAR), "make a space"), H5Sclose);
    Handle a(Checked(H5Acreate2(loc, name, H5T_STD_U64LE, space.get(), H5P_DEFAULT, H5P_DEFAULT),
                     "add an attribute"),
             H5Aclose);
    Check(H5Awrite(a.get(), H5T_NATIVE_UINT64, &value), "write an attribute");
}

void WriteAttribute(hid_t loc, const char* name, const std::string& value) {
    Handle space(Checked(H5Screate(H5S_SCALAR), "make a space"), H5Sclose);
    Handle type = StringType();
    Handle a(
        Checked(H5Acreate2(loc, name, type.get(), space.get(), H5P_DEFAULT, H5P_DEFAULT), "add an attribute"),
        H5Aclose);
    const char* text = value.c_str();
    Check(H5Awrite(a.get(), type.get(), &text), "write an attribute");
}

std::optional<std::uint64_t> ReadAttribute(hid_t loc, const char* name) {
    if (H5Aexists(loc, name) <= 0) return std::nullopt;
    Handle a(Checked(H5Aopen(loc, name, H5P_DEFAULT), "open an attribute"), H5Aclose);
    std::uint64_t value = 0;
    Check(H5Aread(a.get(), H5T_NATIVE_UINT64, &value), "read an attribute");
    return value;
}

std::string ReadTextAttribute(hid_t loc, const char* name) {
    if (H5Aexists(loc, name) <= 0) return {};
    Handle a(Checked(H5Aopen(loc, name, H5P_DEFAULT), "open an attribute"), H5Aclose);
    Handle type = StringType();
    Handle fileType(Checked(H5Aget_type(a.get()), "read an attribute"), H5Tclose);
    if (H5Tget_class(fileType.get()) != H5T_STRING || H5Tis_variable_str(fileType.get()) <= 0) return {};
    char* text = nullptr;
    Check(H5Aread(a.get(), type.get(), &text), "read an attribute");
    std::string value = text ? text : "";
    H5free_memory(text);
    return value;
}

// The file and memory spaces of rows [row, row + count) of a dataset whose rows are `rest` wide.
std::pair<Handle, Handle> SelectRows(hid_t set, hsize_t row, hsize_t count,
                                     const std::vector<hsize_t>& rest) {
    Handle fileSpace(Checked(H5Dget_space(set), "read a space"), H5Sclose);
    std::vector<hsize_t> start(rest.size() + 1, 0), extent;
    start[0] = row;
    extent.push_back(count);
    extent.insert(extent.end(), rest.begin(), rest.end());
    Check(H5Sselect_hyperslab(fileSpace.get(), H5S_SELECT_SET, start.data(), nullptr, extent.data(), nullptr),
          "select rows");
    return {std::move(fileSpace), Space(extent)};
}

// Writes `values` (count rows of `width` values) at rows [row, row + count) of a dataset.
void WriteRows(hid_t set, hid_t memType, hsize_t row, hsize_t count, std::vector<hsize_t> rest,
               const void* values) {
    if (count == 0) return;
    auto [fileSpace, memSpace] = SelectRows(set, row, count, rest);
    Check(H5Dwrite(set, memType, memSpace.get(), fileSpace.get(), H5P_DEFAULT, values), "write rows");
}

void ReadRows(hid_t set, hid_t memType, hsize_t row, hsize_t count, std::vector<hsize_t> rest, void* values) {
    if (count == 0) return;
    auto [fileSpace, memSpace] = SelectRows(set, row, count, rest);
    Check(H5Dread(set, memType, memSpace.get(), fileSpace.get(), H5P_DEFAULT, values), "read rows");
}

// One chunk of a dataset as the file stores it: `count` doubles (NaN where `values` ends),
// shuffled (byte k of every value together) and deflated, as the dataset's filters would.
std::vector<std::uint8_t> PackChunk(const double* values, std::size_t have, std::size_t count, int level) {
    std::vector<double> raw(count, std::numeric_limits<double>::quiet_NaN());
    std::copy(values, values + have, raw.begin());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(raw.data());
    if (level == 0) return std::vector<std::uint8_t>(bytes, bytes + count * sizeof(double));
    std::vector<std::uint8_t> shuffled(count * sizeof(double));
    for (std::size_t i = 0; i < count; ++i)
        for (std::size_t b = 0; b < sizeof(double); ++b)
            shuffled[b * count + i] = bytes[i * sizeof(double) + b];
    // One compressor per thread, reset for each chunk: setting one up costs more than a chunk.
    struct Deflater {
        ~Deflater() {
            if (ok) deflateEnd(&stream);
        }
        z_stream stream{};
        bool ok = false;
        int level = -1;
    };
    thread_local Deflater deflater;
    if (deflater.level != level) {
        if (deflater.ok) deflateEnd(&deflater.stream);
        deflater.stream = z_stream{};
        deflater.ok = deflateInit(&deflater.stream, level) == Z_OK;
        deflater.level = level;
    }
    z_stream& z = deflater.stream;
    if (!deflater.ok || deflateReset(&z) != Z_OK) throw SweepError("cannot compress a run's histories");
    std::vector<std::uint8_t> packed(deflateBound(&z, static_cast<uLong>(shuffled.size())));
    z.next_in = shuffled.data();
    z.avail_in = static_cast<uInt>(shuffled.size());
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) throw SweepError("cannot compress a run's histories");
    packed.resize(z.total_out);
    return packed;
}

// The chunks of a run: for every span of kSampleChunk samples, that of the histories, then that
// of the times.
std::vector<std::vector<std::uint8_t>> PackRun(const SweepRun& run, std::size_t blocks, int level) {
    std::vector<std::vector<std::uint8_t>> chunks;
    if (blocks == 0) return chunks;
    std::vector<double> times;
    for (std::size_t first = 0; first < run.Samples; first += kSampleChunk) {
        const std::size_t have = std::min<std::size_t>(kSampleChunk, run.Samples - first);
        chunks.push_back(
            PackChunk(run.Histories.data() + first * blocks, have * blocks, kSampleChunk * blocks, level));
        times.resize(have);
        for (std::size_t s = 0; s < have; ++s)
            times[s] = run.Histories[(first + s) * blocks];
        chunks.push_back(PackChunk(times.data(), have, kSampleChunk, level));
    }
    return chunks;
}

struct Silence {
    Silence() { H5Eset_auto2(H5E_DEFAULT, nullptr, nullptr); }
};

// The per-run columns, named as in the file.
const char* const kU64Columns[] = {"run",        "samples", "steps_tried", "steps_accepted", "steps_rejected",
                                   "evaluations"};
const char* const kDoubleColumns[] = {"smallest_step", "largest_step"};

} // namespace

struct Hdf5SweepWriter::State {
    std::string path;
    std::string temporary;
    Handle file;
    Handle runsGroup;
    Handle histories;
    Handle time;
    Handle params;
    Handle seed;
    Handle status;
    Handle message;
    Handle u64[6];
    Handle f64[2];
    std::size_t blocks = 0;
    std::size_t axes = 0;
    int level = 1;
    std::uint64_t first = 0;
    std::uint64_t written = 0; // runs written so far (rows of the file)
    hsize_t samples = 0;       // the longest run's samples so far
    // The per-run values not yet written: rows [batchStart, written).
    hsize_t batchStart = 0;
    std::vector<std::uint64_t> u64Rows[6];
    std::vector<double> f64Rows[2];
    std::vector<double> paramRows;
    std::vector<std::int64_t> seedRows;
    std::vector<std::int8_t> statusRows;
    std::vector<std::string> messageRows;

    // Closes the datasets, then the group, then the file.
    void Close() {
        for (Handle* h : {&histories, &time, &params, &seed, &status, &message})
            h->Reset();
        for (Handle& h : u64)
            h.Reset();
        for (Handle& h : f64)
            h.Reset();
        runsGroup.Reset();
        file.Reset();
    }

    void Flush() {
        const hsize_t n = written - batchStart;
        if (n == 0) return;
        for (int c = 0; c < 6; ++c) {
            WriteRows(u64[c].get(), H5T_NATIVE_UINT64, batchStart, n, {}, u64Rows[c].data());
            u64Rows[c].clear();
        }
        for (int c = 0; c < 2; ++c) {
            WriteRows(f64[c].get(), H5T_NATIVE_DOUBLE, batchStart, n, {}, f64Rows[c].data());
            f64Rows[c].clear();
        }
        if (axes) WriteRows(params.get(), H5T_NATIVE_DOUBLE, batchStart, n, {axes}, paramRows.data());
        paramRows.clear();
        WriteRows(seed.get(), H5T_NATIVE_INT64, batchStart, n, {}, seedRows.data());
        seedRows.clear();
        WriteRows(status.get(), H5T_NATIVE_INT8, batchStart, n, {}, statusRows.data());
        statusRows.clear();
        std::vector<const char*> pointers;
        for (const std::string& m : messageRows)
            pointers.push_back(m.c_str());
        Handle type = StringType();
        WriteRows(message.get(), type.get(), batchStart, n, {}, pointers.data());
        messageRows.clear();
        batchStart = written;
    }
};

Hdf5SweepWriter::Hdf5SweepWriter(std::string path, int level) : m_state(std::make_unique<State>()) {
    if (level < 0 || level > 9) throw SweepError("the compression level is 0 to 9");
    m_state->level = level;
    m_state->path = std::move(path);
    m_state->temporary = m_state->path + ".part";
}

Hdf5SweepWriter::~Hdf5SweepWriter() {
    if (m_state->file.get() >= 0) {
        // Not ended: the half-written file goes.
        m_state->Close();
        std::remove(m_state->temporary.c_str());
    }
}

void Hdf5SweepWriter::Begin(const SweepHeader& header) {
    static Silence silence;
    State& s = *m_state;
    s.blocks = header.BlockNames.size();
    s.axes = header.AxisLabels.size();
    s.first = header.Range.first;
    const hsize_t runs = header.Range.Count();
    Handle fcpl(Checked(H5Pcreate(H5P_FILE_CREATE), "make a file"), H5Pclose);
    Handle fapl(Checked(H5Pcreate(H5P_FILE_ACCESS), "make a file"), H5Pclose);
    Check(H5Pset_libver_bounds(fapl.get(), H5F_LIBVER_EARLIEST, H5F_LIBVER_V18), "set the file format");
    s.file = Handle(H5Fcreate(s.temporary.c_str(), H5F_ACC_TRUNC, fcpl.get(), fapl.get()), H5Fclose);
    if (s.file.get() < 0) throw SweepError("cannot write '" + s.temporary + "'");
    const hid_t f = s.file.get();
    WriteAttribute(f, "format", std::string(kFormat));
    WriteAttribute(f, "total_runs", header.TotalRuns);
    WriteAttribute(f, "first_run", header.Range.first);
    WriteAttribute(f, "last_run", header.Range.last);
    WriteAttribute(f, "repeat", header.Repeat);
    if (header.Seed) WriteAttribute(f, "seed", *header.Seed);
    WriteAttribute(f, "deflate_level", static_cast<std::uint64_t>(s.level));
    WriteStrings(f, "blocks", header.BlockNames);
    WriteStrings(f, "parameter_names", header.AxisLabels);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const hsize_t width = std::max<std::size_t>(s.blocks, 1);
    s.histories = CreateSet(f, "histories", H5T_IEEE_F64LE, s.level, {runs, 0, s.blocks},
                            {1, kSampleChunk, width}, {false, true, false}, &nan);
    s.time = CreateSet(f, "time", H5T_IEEE_F64LE, s.level, {runs, 0}, {1, kSampleChunk}, {false, true}, &nan);
    Handle gcpl(Checked(H5Pcreate(H5P_GROUP_CREATE), "make a group"), H5Pclose);
    Check(H5Pset_obj_track_times(gcpl.get(), 0), "turn timestamps off");
    s.runsGroup =
        Handle(Checked(H5Gcreate2(f, "runs", H5P_DEFAULT, gcpl.get(), H5P_DEFAULT), "create runs"), H5Gclose);
    const hid_t g = s.runsGroup.get();
    for (int c = 0; c < 6; ++c)
        s.u64[c] = CreateSet(g, kU64Columns[c], H5T_STD_U64LE, s.level, {runs}, {kRunChunk});
    for (int c = 0; c < 2; ++c)
        s.f64[c] = CreateSet(g, kDoubleColumns[c], H5T_IEEE_F64LE, s.level, {runs}, {kRunChunk});
    if (s.axes)
        s.params = CreateSet(g, "parameters", H5T_IEEE_F64LE, s.level, {runs, s.axes}, {kRunChunk, s.axes});
    s.seed = CreateSet(g, "seed", H5T_STD_I64LE, s.level, {runs}, {kRunChunk});
    s.status = CreateSet(g, "status", H5T_STD_I8LE, s.level, {runs}, {kRunChunk});
    WriteAttribute(s.status.get(), "meaning", std::string("0 completed, 1 refused, 2 failed, 3 stopped"));
    Handle text = StringType();
    s.message = CreateSet(g, "message", text.get(), s.level, {runs}, {kRunChunk});
}

void Hdf5SweepWriter::Write(const SweepRun& run) {
    State& s = *m_state;
    if (run.Run != s.first + s.written) throw SweepError("runs reached the file out of order");
    const hsize_t row = s.written;
    if (run.Samples > s.samples) {
        s.samples = run.Samples;
        const hsize_t runs = [&] {
            Handle space(Checked(H5Dget_space(s.time.get()), "read a space"), H5Sclose);
            hsize_t dims[2];
            H5Sget_simple_extent_dims(space.get(), dims, nullptr);
            return dims[0];
        }();
        const hsize_t h[3] = {runs, s.samples, s.blocks};
        const hsize_t t[2] = {runs, s.samples};
        Check(H5Dset_extent(s.histories.get(), h), "grow the histories");
        Check(H5Dset_extent(s.time.get(), t), "grow the times");
    }
    if (run.Samples > 0 && s.blocks > 0) {
        // Chunks go in whole and already compressed, the same whether a worker packed them or not.
        std::vector<std::vector<std::uint8_t>> packedHere;
        const auto& packed =
            run.Prepared.empty() ? (packedHere = PackRun(run, s.blocks, s.level)) : run.Prepared;
        for (std::size_t c = 0; c + 1 < packed.size(); c += 2) {
            const hsize_t h[3] = {row, c / 2 * kSampleChunk, 0};
            const hsize_t t[2] = {row, c / 2 * kSampleChunk};
            Check(H5Dwrite_chunk(s.histories.get(), H5P_DEFAULT, 0, h, packed[c].size(), packed[c].data()),
                  "write the histories");
            Check(H5Dwrite_chunk(s.time.get(), H5P_DEFAULT, 0, t, packed[c + 1].size(), packed[c + 1].data()),
                  "write the times");
        }
    }
    const std::uint64_t u64[6] = {run.Run,
                                  run.Samples,
                                  run.Statistics.tried,
                                  run.Statistics.accepted,
                                  run.Statistics.rejected,
                                  run.Statistics.evaluations};
    for (int c = 0; c < 6; ++c)
        s.u64Rows[c].push_back(u64[c]);
    s.f64Rows[0].push_back(run.Statistics.smallestStep);
    s.f64Rows[1].push_back(run.Statistics.largestStep);
    s.paramRows.insert(s.paramRows.end(), run.Values.begin(), run.Values.end());
    s.seedRows.push_back(run.Seed ? static_cast<std::int64_t>(*run.Seed) : -1);
    s.statusRows.push_back(static_cast<std::int8_t>(run.Status));
    s.messageRows.push_back(run.Message);
    ++s.written;
    if (s.written - s.batchStart >= kRunChunk) s.Flush();
}

void Hdf5SweepWriter::Prepare(SweepRun& run) const {
    run.Prepared = PackRun(run, m_state->blocks, m_state->level);
}

void Hdf5SweepWriter::End() {
    State& s = *m_state;
    s.Flush();
    const std::string& path = s.path;
    const std::string& temporary = s.temporary;
    const herr_t flushed = H5Fflush(s.file.get(), H5F_SCOPE_GLOBAL);
    s.Close();
    if (flushed < 0 || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw SweepError("cannot write '" + path + "'");
    }
}

namespace {

struct OpenSweep {
    Handle file;
    SweepHeader header;
    int level = 1;
};

OpenSweep OpenSweepFile(const std::string& path) {
    static Silence silence;
    OpenSweep o;
    o.file = Handle(H5Fopen(path.c_str(), H5F_ACC_RDONLY, H5P_DEFAULT), H5Fclose);
    if (o.file.get() < 0) throw SweepError("cannot read '" + path + "' as an HDF5 file");
    const hid_t f = o.file.get();
    if (ReadTextAttribute(f, "format") != kFormat)
        throw SweepError("'" + path + "' is not a sweep file of Kintra");
    const auto total = ReadAttribute(f, "total_runs");
    const auto first = ReadAttribute(f, "first_run");
    const auto last = ReadAttribute(f, "last_run");
    const auto repeat = ReadAttribute(f, "repeat");
    if (!total || !first || !last || !repeat || *first > *last || *last > *total)
        throw SweepError("'" + path + "' lacks the runs it holds");
    o.header.TotalRuns = *total;
    o.header.Range = {*first, *last};
    o.header.Repeat = *repeat;
    o.header.Seed = ReadAttribute(f, "seed");
    o.header.BlockNames = ReadStrings(f, "blocks");
    o.header.AxisLabels = ReadStrings(f, "parameter_names");
    o.level = static_cast<int>(std::min<std::uint64_t>(ReadAttribute(f, "deflate_level").value_or(1), 9));
    return o;
}

} // namespace

void ReadSweepFile(const std::string& path, SweepHeader& header,
                   const std::function<void(const SweepRun&)>& each) {
    OpenSweep o = OpenSweepFile(path);
    header = o.header;
    const hid_t f = o.file.get();
    const std::size_t runs = header.Range.Count();
    const std::size_t blocks = header.BlockNames.size();
    const std::size_t axes = header.AxisLabels.size();
    Handle group(Checked(H5Gopen2(f, "runs", H5P_DEFAULT), "find runs"), H5Gclose);
    auto open = [&](const char* name) {
        return Handle(Checked(H5Dopen2(group.get(), name, H5P_DEFAULT), name), H5Dclose);
    };
    std::vector<std::uint64_t> u64[6];
    for (int c = 0; c < 6; ++c) {
        u64[c].resize(runs);
        ReadRows(open(kU64Columns[c]).get(), H5T_NATIVE_UINT64, 0, runs, {}, u64[c].data());
    }
    std::vector<double> f64[2];
    for (int c = 0; c < 2; ++c) {
        f64[c].resize(runs);
        ReadRows(open(kDoubleColumns[c]).get(), H5T_NATIVE_DOUBLE, 0, runs, {}, f64[c].data());
    }
    std::vector<double> params(runs * axes);
    if (axes) ReadRows(open("parameters").get(), H5T_NATIVE_DOUBLE, 0, runs, {axes}, params.data());
    std::vector<std::int64_t> seeds(runs);
    ReadRows(open("seed").get(), H5T_NATIVE_INT64, 0, runs, {}, seeds.data());
    std::vector<std::int8_t> status(runs);
    ReadRows(open("status").get(), H5T_NATIVE_INT8, 0, runs, {}, status.data());
    std::vector<char*> messages(runs, nullptr);
    Handle text = StringType();
    Handle messageSet = open("message");
    ReadRows(messageSet.get(), text.get(), 0, runs, {}, messages.data());
    Handle histories(Checked(H5Dopen2(f, "histories", H5P_DEFAULT), "find the histories"), H5Dclose);
    Handle space(Checked(H5Dget_space(histories.get()), "read a space"), H5Sclose);
    hsize_t dims[3] = {0, 0, 0};
    if (H5Sget_simple_extent_ndims(space.get()) != 3) throw SweepError("'" + path + "' has no histories");
    H5Sget_simple_extent_dims(space.get(), dims, nullptr);
    if (dims[0] != runs || dims[2] != blocks)
        throw SweepError("'" + path + "' has histories of another shape");
    try {
        for (std::size_t j = 0; j < runs; ++j) {
            SweepRun run;
            run.Run = u64[0][j];
            run.Samples = u64[1][j];
            if (run.Run != header.Range.first + j || run.Samples > dims[1])
                throw SweepError("'" + path + "' holds damaged run records");
            run.Statistics.tried = u64[2][j];
            run.Statistics.accepted = u64[3][j];
            run.Statistics.rejected = u64[4][j];
            run.Statistics.evaluations = u64[5][j];
            run.Statistics.smallestStep = f64[0][j];
            run.Statistics.largestStep = f64[1][j];
            run.Values.assign(params.begin() + static_cast<std::ptrdiff_t>(j * axes),
                              params.begin() + static_cast<std::ptrdiff_t>((j + 1) * axes));
            if (seeds[j] >= 0) run.Seed = static_cast<std::uint32_t>(seeds[j]);
            run.Status = static_cast<SweepStatus>(status[j]);
            run.Message = messages[j] ? messages[j] : "";
            run.Histories.resize(run.Samples * blocks);
            if (run.Samples && blocks)
                ReadRows(histories.get(), H5T_NATIVE_DOUBLE, j, 1, {run.Samples, blocks},
                         run.Histories.data());
            // Rows are read one run at a time, so a large file is never held whole.
            each(run);
        }
    } catch (...) {
        Handle all = Space({runs});
        H5Dvlen_reclaim(text.get(), all.get(), H5P_DEFAULT, messages.data());
        throw;
    }
    Handle all = Space({runs});
    H5Dvlen_reclaim(text.get(), all.get(), H5P_DEFAULT, messages.data());
}

void MergeSweepFiles(const std::string& output, const std::vector<std::string>& parts) {
    if (parts.empty()) throw SweepError("merge needs at least one part");
    std::vector<std::pair<SweepHeader, std::string>> headers;
    int level = -1;
    for (const std::string& part : parts) {
        const OpenSweep o = OpenSweepFile(part);
        if (level >= 0 && o.level != level)
            throw SweepError("'" + part + "' is compressed otherwise than '" + parts.front() + "'");
        level = o.level;
        headers.emplace_back(o.header, part);
    }
    std::sort(headers.begin(), headers.end(),
              [](const auto& a, const auto& b) { return a.first.Range.first < b.first.Range.first; });
    SweepHeader whole = headers.front().first;
    std::uint64_t next = 0;
    for (const auto& [h, part] : headers) {
        if (h.TotalRuns != whole.TotalRuns || h.Repeat != whole.Repeat || h.Seed != whole.Seed ||
            h.BlockNames != whole.BlockNames || h.AxisLabels != whole.AxisLabels)
            throw SweepError("'" + part + "' is a part of another sweep than '" + headers.front().second +
                             "'");
        if (h.Range.first != next)
            throw SweepError(h.Range.first < next ? "'" + part + "' holds runs another part holds too"
                                                  : "no part holds run " + std::to_string(next));
        next = h.Range.last;
    }
    if (next != whole.TotalRuns) throw SweepError("no part holds run " + std::to_string(next));
    whole.Range = {0, whole.TotalRuns};
    Hdf5SweepWriter writer(output, level);
    writer.Begin(whole);
    for (const auto& entry : headers) {
        SweepHeader h;
        ReadSweepFile(entry.second, h, [&](const SweepRun& run) { writer.Write(run); });
    }
    writer.End();
}

} // namespace kintra
