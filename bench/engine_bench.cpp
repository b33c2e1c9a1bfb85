// Engine benchmark: Render on the cel frames in data/cel, at the three depths, in the plain, the keyed
// and the inverted-key source mode, next to a memcpy of the same input buffer into the same output
// buffer. It names the processor and the engine's instruction-set path first (TESSALINE_ENGINE_PATH
// forces one).
//
// One timed iteration is what a host frame costs: zero the edge map, then Render into a preallocated
// output buffer. Times are CPU times of the benchmark thread. Every render case reports
//   Mpx     megapixels rendered per second
//   x_copy  mean render time per iteration divided by the median time of one memcpy of the whole
//           input buffer into the output buffer: 51 back-to-back copies (after a warm-up) right
//           before the timed loop and 51 right after it, so that the reference brackets the renders
//           in time (on a shared machine a reference taken at another moment can be far off).
// and a label with the share of edge pixels (non-zero edge-map entries, the pixels the scan
// analyses), the share of pixels the render changed and, keyed, the key colour and the share of
// pixels it removes. A summary table of the cases that ran follows the benchmark output.
//
// The key colour is the frame's most frequent opaque colour that the key, at threshold 0, matches at
// every depth after the frame's conversion to that depth, so the keyed cases remove the same pixels
// at all three depths.
#include <benchmark/benchmark.h>

#include <OpenImageIO/imageio.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine.h"
#include "gegl_peer.h"

#ifndef TESSALINE_CEL_DIR
#error "TESSALINE_CEL_DIR must name the directory that holds the benchmark frames"
#endif

namespace {

using tessaline::Depth;
using tessaline::SourceMode;

// CPU time of the calling thread, in seconds. Benchmarks report CPU time (the default of Google
// Benchmark), so that another process taking the core for a while does not count as engine time;
// the copy reference is measured the same way.
double ThreadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// A zero-filled, 64-byte aligned heap block; every page is written at allocation so that no page
// fault lands in a timed region.
class Buffer {
 public:
  Buffer() = default;
  explicit Buffer(std::size_t bytes) : bytes_(bytes) {
    const std::size_t rounded = (std::max<std::size_t>(bytes, 1) + 63) / 64 * 64;
    data_.reset(static_cast<unsigned char*>(std::aligned_alloc(64, rounded)));
    if (!data_) {
      std::fprintf(stderr, "tessaline_bench: out of memory (%zu bytes)\n", bytes);
      std::exit(1);
    }
    std::memset(data_.get(), 0, rounded);
  }
  unsigned char* data() const { return data_.get(); }
  std::size_t size() const { return bytes_; }

 private:
  struct Free {
    void operator()(unsigned char* p) const { std::free(p); }
  };
  std::unique_ptr<unsigned char, Free> data_;
  std::size_t bytes_ = 0;
};

// One frame as loaded: 8-bit ARGB, straight alpha.
struct Frame {
  std::string file;  // file name in data/cel
  std::string name;  // short name used in benchmark names
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> argb;  // width * height * 4
  std::uint8_t key[3] = {};        // most frequent opaque colour (red, green, blue)
  double keyShare = 0;             // share of all pixels that are opaque and of the key colour
};

// One frame at one depth, with everything its render and copy benchmarks need. Prepared on first
// use, so that a --benchmark_filter only pays for the cases it selects.
struct Case {
  const Frame* frame = nullptr;
  Depth depth = Depth::U8;
  bool prepared = false;
  Buffer in, out, map;
  std::ptrdiff_t rowbytes = 0;
  double keyedShare = 0;  // share of pixels the key removes at this depth
  // The last run of each render benchmark, for the summary.
  struct Run {
    double seconds = 0;      // CPU time per iteration
    double best = 0;         // CPU time of the fastest iteration
    double copySeconds = 0;  // the copy reference measured before it
  } plain, key, inverted;
  // GEGL's antialias on the same frame (8-bit and float only): RGBA copies of the input and an
  // output, made on first use, and its last time per frame.
  Buffer geglIn, geglOut;
  double geglSeconds = 0, geglBest = 0;
};

const char* DepthName(Depth d) {
  switch (d) {
    case Depth::U8:
      return "u8";
    case Depth::U16:
      return "u16";
    case Depth::F32:
      return "f32";
  }
  return "?";
}

// Converts one 8-bit channel value the way the benchmark converts its frames.
std::uint16_t To16(std::uint8_t v) { return static_cast<std::uint16_t>((std::uint32_t{v} * 32768u + 127u) / 255u); }
float ToFloat(std::uint8_t v) { return static_cast<float>(v) / 255.0f; }

tessaline::Params KeyParams(const std::uint8_t rgb[3]) {
  tessaline::Params p;
  p.keyColor[0] = 255;
  p.keyColor[1] = rgb[0];
  p.keyColor[2] = rgb[1];
  p.keyColor[3] = rgb[2];
  p.keyColorThreshold = 0;
  return p;
}

// Whether the engine's key, set to this colour at threshold 0, removes an opaque pixel of the colour
// at each depth (the pixel converted like the frames are).
bool KeyMatchesEverywhere(const std::uint8_t rgb[3]) {
  const tessaline::Params params = KeyParams(rgb);
  const std::uint8_t p8[4] = {255, rgb[0], rgb[1], rgb[2]};
  const std::uint16_t p16[4] = {To16(255), To16(rgb[0]), To16(rgb[1]), To16(rgb[2])};
  const float pf[4] = {1.0f, ToFloat(rgb[0]), ToFloat(rgb[1]), ToFloat(rgb[2])};
  const void* pixels[3] = {p8, p16, pf};
  const Depth depths[3] = {Depth::U8, Depth::U16, Depth::F32};
  for (int i = 0; i < 3; ++i) {
    alignas(16) unsigned char out[16] = {};
    const std::ptrdiff_t bytes = static_cast<std::ptrdiff_t>(tessaline::PixelBytes(depths[i]));
    tessaline::CopyStage(depths[i], SourceMode::Key, {pixels[i], bytes, 1, 1}, {out, bytes, 1, 1}, params);
    if (std::memcmp(out, pixels[i], static_cast<std::size_t>(bytes)) == 0) return false;  // alpha kept
  }
  return true;
}

bool LoadFrame(Frame& f) {
  const std::string path = std::string(TESSALINE_CEL_DIR) + "/" + f.file;
  OIIO::ImageSpec config;
  config.attribute("oiio:UnassociatedAlpha", 1);
  auto in = OIIO::ImageInput::open(path, &config);
  if (!in) {
    std::fprintf(stderr, "tessaline_bench: cannot open %s: %s\n", path.c_str(), OIIO::geterror().c_str());
    return false;
  }
  const OIIO::ImageSpec& spec = in->spec();
  const int channels = spec.nchannels;
  if (channels != 3 && channels != 4) {
    std::fprintf(stderr, "tessaline_bench: %s has %d channels (3 or 4 expected)\n", path.c_str(), channels);
    return false;
  }
  f.width = spec.width;
  f.height = spec.height;
  const std::size_t pixels = static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.height);
  std::vector<std::uint8_t> raw(pixels * static_cast<std::size_t>(channels));
  if (!in->read_image(0, 0, 0, channels, OIIO::TypeDesc::UINT8, raw.data())) {
    std::fprintf(stderr, "tessaline_bench: cannot read %s: %s\n", path.c_str(), in->geterror().c_str());
    return false;
  }
  in->close();

  f.argb.resize(pixels * 4);
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* s = &raw[i * static_cast<std::size_t>(channels)];
    std::uint8_t* d = &f.argb[i * 4];
    d[0] = channels == 4 ? s[3] : 255;
    d[1] = s[0];
    d[2] = s[1];
    d[3] = s[2];
  }

  // The key colour: the most frequent colour among opaque pixels that the key (threshold 0) matches
  // at every depth once the frame is converted to it, so that the keyed cases key the same pixels at
  // all three depths.
  std::unordered_map<std::uint32_t, std::size_t> counts;
  for (std::size_t i = 0; i < pixels; ++i) {
    const std::uint8_t* p = &f.argb[i * 4];
    if (p[0] != 255) continue;
    ++counts[(std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3]];
  }
  std::vector<std::pair<std::size_t, std::uint32_t>> byCount;
  for (const auto& [rgb, n] : counts) byCount.emplace_back(n, rgb);
  std::sort(byCount.begin(), byCount.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  for (const auto& [n, rgb] : byCount) {
    const std::uint8_t colour[3] = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                                    static_cast<std::uint8_t>(rgb)};
    if (!KeyMatchesEverywhere(colour)) {
      std::fprintf(stderr, "%s: #%06x (%.2f%% of pixels) is not keyed at every depth, skipped as key colour\n",
                   f.file.c_str(), rgb, 100.0 * static_cast<double>(n) / static_cast<double>(pixels));
      continue;
    }
    std::memcpy(f.key, colour, 3);
    f.keyShare = static_cast<double>(n) / static_cast<double>(pixels);
    break;
  }
  if (f.keyShare == 0) {
    std::fprintf(stderr, "tessaline_bench: %s has no opaque colour the key matches at every depth\n", path.c_str());
    return false;
  }
  return true;
}

tessaline::Params DefaultParams() { return tessaline::Params{}; }

tessaline::Params KeyParams(const Frame& f) { return KeyParams(f.key); }

tessaline::ImageView InView(const Case& c) {
  return {c.in.data(), c.rowbytes, c.frame->width, c.frame->height};
}
tessaline::MutableImageView OutView(const Case& c) {
  return {c.out.data(), c.rowbytes, c.frame->width, c.frame->height};
}

std::size_t Pixels(const Case& c) {
  return static_cast<std::size_t>(c.frame->width) * static_cast<std::size_t>(c.frame->height);
}

// Share of pixels whose output differs from the input, bit for bit.
double ChangedShare(const Case& c) {
  const std::size_t px = tessaline::PixelBytes(c.depth), n = Pixels(c);
  std::size_t changed = 0;
  for (std::size_t i = 0; i < n; ++i) {
    changed += std::memcmp(c.in.data() + i * px, c.out.data() + i * px, px) != 0;
  }
  return static_cast<double>(changed) / static_cast<double>(n);
}

void Prepare(Case& c) {
  if (c.prepared) return;
  const Frame& f = *c.frame;
  const std::size_t n = Pixels(c) * 4;  // channels
  const std::size_t bytes = Pixels(c) * tessaline::PixelBytes(c.depth);
  c.rowbytes = static_cast<std::ptrdiff_t>(tessaline::PixelBytes(c.depth)) * f.width;
  c.in = Buffer(bytes);
  c.out = Buffer(bytes);
  c.map = Buffer(tessaline::EdgeMapBytes(f.width, f.height));

  switch (c.depth) {
    case Depth::U8:
      std::memcpy(c.in.data(), f.argb.data(), bytes);
      break;
    case Depth::U16: {
      auto* d = reinterpret_cast<std::uint16_t*>(c.in.data());
      for (std::size_t i = 0; i < n; ++i) {
        d[i] = To16(f.argb[i]);
      }
      break;
    }
    case Depth::F32: {
      auto* d = reinterpret_cast<float*>(c.in.data());
      for (std::size_t i = 0; i < n; ++i) d[i] = ToFloat(f.argb[i]);
      break;
    }
  }

  // How much of the frame the key removes at this depth (pixels that were visible and are not).
  tessaline::CopyStage(c.depth, SourceMode::Key, InView(c), OutView(c), KeyParams(f));
  {
    const std::size_t px = tessaline::PixelBytes(c.depth), npx = Pixels(c);
    std::size_t removed = 0;
    for (std::size_t i = 0; i < npx; ++i) {
      const unsigned char* a = c.in.data() + i * px;
      const unsigned char* b = c.out.data() + i * px;
      removed += std::memcmp(a, b, px) != 0;
    }
    c.keyedShare = static_cast<double>(removed) / static_cast<double>(npx);
  }
  c.prepared = true;
}

// One copy of the whole input buffer into the output buffer; returns its CPU time.
double TimedCopy(const Case& c) {
  const double t0 = ThreadSeconds();
  std::memcpy(c.out.data(), c.in.data(), c.in.size());
  benchmark::DoNotOptimize(c.out.data());
  benchmark::ClobberMemory();
  return ThreadSeconds() - t0;
}

// Appends the times of 51 back-to-back copies, after 5 untimed ones.
void TimeCopies(const Case& c, std::vector<double>& times) {
  for (int i = 0; i < 5; ++i) TimedCopy(c);
  for (int i = 0; i < 51; ++i) times.push_back(TimedCopy(c));
}

double Median(std::vector<double> v) {
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

void BM_Copy(benchmark::State& state, Case* c) {
  Prepare(*c);
  const std::size_t bytes = c->in.size();
  std::vector<double> copies;
  TimeCopies(*c, copies);
  const double copySeconds = Median(copies);
  const double t0 = ThreadSeconds();
  for (auto _ : state) {
    std::memcpy(c->out.data(), c->in.data(), bytes);
    benchmark::DoNotOptimize(c->out.data());
    benchmark::ClobberMemory();
  }
  const double perIteration = (ThreadSeconds() - t0) / static_cast<double>(state.iterations());
  state.counters["Mpx"] = benchmark::Counter(static_cast<double>(Pixels(*c)) / 1e6,
                                             benchmark::Counter::kIsIterationInvariantRate);
  state.counters["x_copy"] = perIteration / copySeconds;
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes));
}

void BM_Render(benchmark::State& state, Case* c, SourceMode mode) {
  Prepare(*c);
  const tessaline::Params params = mode == SourceMode::Plain ? DefaultParams() : KeyParams(*c->frame);
  const tessaline::ImageView in = InView(*c);
  const tessaline::MutableImageView out = OutView(*c);
  std::uint8_t* map = c->map.data();
  const std::size_t mapBytes = c->map.size();
  tessaline::RenderStatus status = tessaline::RenderStatus::Ok;

  std::vector<double> copies;
  TimeCopies(*c, copies);
  const double t0 = ThreadSeconds();
  double best = 1e30;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    std::memset(map, 0, mapBytes);
    status = tessaline::Render(c->depth, mode, in, out, params, map);
    benchmark::DoNotOptimize(status);
    benchmark::DoNotOptimize(c->out.data());
    benchmark::ClobberMemory();
    best = std::min(best, ThreadSeconds() - start);
  }
  const double perIteration = (ThreadSeconds() - t0) / static_cast<double>(state.iterations());

  if (status != tessaline::RenderStatus::Ok) {
    state.SkipWithError("Render did not return Ok");
    return;
  }
  state.counters["Mpx"] = benchmark::Counter(static_cast<double>(Pixels(*c)) / 1e6,
                                             benchmark::Counter::kIsIterationInvariantRate);

  // Reads the whole output after the last render: the share of pixels the render changed, and the
  // share of edge pixels (non-zero map entries, each one scanned).
  const std::size_t edges = mapBytes - static_cast<std::size_t>(std::count(map, map + mapBytes, 0));
  const double edgeShare = 100.0 * static_cast<double>(edges) / static_cast<double>(Pixels(*c));
  char label[160];
  const double changed = 100.0 * ChangedShare(*c);
  if (mode == SourceMode::Plain) {
    std::snprintf(label, sizeof label, "edges %.2f%%, changed %.2f%%", edgeShare, changed);
  } else {
    const Frame& f = *c->frame;
    const bool inverted = mode == SourceMode::KeyInvert;
    std::snprintf(label, sizeof label, "edges %.2f%%, changed %.2f%%, key #%02x%02x%02x %s %.2f%%", edgeShare,
                  changed, f.key[0], f.key[1], f.key[2], inverted ? "inverted removes" : "removes",
                  100.0 * (inverted ? 1.0 - c->keyedShare : c->keyedShare));
  }
  state.SetLabel(label);

  // The second half of the copy reference (this overwrites the output).
  TimeCopies(*c, copies);
  const double copySeconds = Median(copies);
  (mode == SourceMode::Plain ? c->plain : mode == SourceMode::Key ? c->key : c->inverted) = {perIteration, best,
                                                                                              copySeconds};
  state.counters["x_copy"] = perIteration / copySeconds;
}

peer::GeglDepth GeglDepthOf(Depth d) { return d == Depth::U8 ? peer::GeglDepth::U8 : peer::GeglDepth::F32; }

// The same frame through gegl:antialias, in GEGL's own channel order; the first run must change
// pixels (the operation passes images through untouched when it is not allowed to run).
void BM_Gegl(benchmark::State& state, Case* c) {
  Prepare(*c);
  const int w = c->frame->width, h = c->frame->height;
  const std::size_t pixels = Pixels(*c), px = tessaline::PixelBytes(c->depth), channel = px / 4;
  if (c->geglIn.size() == 0) {
    c->geglIn = Buffer(c->in.size());
    c->geglOut = Buffer(c->in.size());
    for (std::size_t i = 0; i < pixels; ++i) {
      const unsigned char* argb = c->in.data() + i * px;
      unsigned char* rgba = c->geglIn.data() + i * px;
      std::memcpy(rgba, argb + channel, 3 * channel);
      std::memcpy(rgba + 3 * channel, argb, channel);
    }
  }
  const peer::GeglDepth depth = GeglDepthOf(c->depth);
  if (!peer::AntialiasOnce(depth, c->geglIn.data(), c->geglOut.data(), w, h)) {
    state.SkipWithError("cannot build the GEGL graph (is gegl:antialias installed?)");
    return;
  }
  if (std::memcmp(c->geglIn.data(), c->geglOut.data(), c->in.size()) == 0) {
    state.SkipWithError("gegl:antialias changed no pixel: it did not run");
    return;
  }
  const double t0 = ThreadSeconds();
  double best = 1e30;
  for (auto _ : state) {
    const double start = ThreadSeconds();
    peer::AntialiasOnce(depth, c->geglIn.data(), c->geglOut.data(), w, h);
    benchmark::DoNotOptimize(c->geglOut.data());
    benchmark::ClobberMemory();
    best = std::min(best, ThreadSeconds() - start);
  }
  c->geglSeconds = (ThreadSeconds() - t0) / static_cast<double>(state.iterations());
  c->geglBest = best;
  state.counters["Mpx"] = benchmark::Counter(static_cast<double>(pixels) / 1e6,
                                             benchmark::Counter::kIsIterationInvariantRate);
}

// The processor's model name, as the system reports it.
std::string ProcessorModel() {
  std::FILE* f = std::fopen("/proc/cpuinfo", "r");
  if (f == nullptr) return "unknown";
  char line[512];
  std::string model = "unknown";
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strncmp(line, "model name", 10) != 0) continue;
    const char* colon = std::strchr(line, ':');
    if (colon == nullptr) continue;
    model = colon + 1;
    model.erase(0, model.find_first_not_of(" \t"));
    model.erase(model.find_last_not_of(" \t\n") + 1);
    break;
  }
  std::fclose(f);
  return model;
}

std::string MachineLine() {
  std::string available;
  for (const auto p : {tessaline::EnginePath::Portable, tessaline::EnginePath::Sse2, tessaline::EnginePath::Avx2}) {
    if (tessaline::EnginePathAvailable(p)) available += std::string(available.empty() ? "" : " ") + tessaline::EnginePathName(p);
  }
  return "processor: " + ProcessorModel() + "; engine path: " + tessaline::EnginePathName(tessaline::ActiveEnginePath()) +
         " (this processor runs: " + available + "; TESSALINE_ENGINE_PATH chooses)";
}

void PrintSummary(const std::vector<std::unique_ptr<Case>>& cases) {
  bool any = false;
  for (const auto& c : cases) any = any || c->plain.seconds > 0 || c->key.seconds > 0 || c->inverted.seconds > 0;
  if (!any) return;
  std::printf(
      "\nSummary (last run of each benchmark), %s\n"
      "ms = CPU ms per frame (mean); x_copy = plain render time / a memcpy of the frame;\n"
      "x_plain = keyed (inverted) speed / plain speed, from the fastest iteration of each; keyed = share of\n"
      "pixels the key removes; GEGL = gegl:antialias on the same frame, one thread, fastest iteration;\n"
      "x_gegl = our plain, keyed and inverted speed / GEGL's, from the fastest iteration of each (the one\n"
      "least disturbed by other work on the machine)\n"
      "%-28s %-4s | %8s %7s %6s | %8s %7s | %8s %7s | %7s | %7s %6s %6s %6s\n",
      MachineLine().c_str(), "frame", "dep", "plain ms", "Mpx/s", "x_copy", "keyed ms", "x_plain", "invert ms",
      "x_plain", "keyed", "GEGL/s", "x_gegl", "keyed", "invert");
  for (const auto& c : cases) {
    if (c->plain.seconds == 0 && c->key.seconds == 0 && c->inverted.seconds == 0) continue;
    const double mpx = static_cast<double>(Pixels(*c)) / 1e6;
    char plain[64] = "       -       -      -";
    if (c->plain.seconds > 0) {
      std::snprintf(plain, sizeof plain, "%8.2f %7.1f %6.1f", c->plain.seconds * 1e3, mpx / c->plain.seconds,
                    c->plain.seconds / c->plain.copySeconds);
    }
    auto keyed = [&](const Case::Run& r, char* buf, std::size_t size) {
      if (r.seconds > 0 && c->plain.best > 0) {
        std::snprintf(buf, size, "%8.2f %7.2f", r.seconds * 1e3, c->plain.best / r.best);
      } else if (r.seconds > 0) {
        std::snprintf(buf, size, "%8.2f %7s", r.seconds * 1e3, "-");
      } else {
        std::snprintf(buf, size, "%8s %7s", "-", "-");
      }
    };
    char key[64], inverted[64];
    keyed(c->key, key, sizeof key);
    keyed(c->inverted, inverted, sizeof inverted);
    char gegl[64] = "      -      -      -      -";
    if (c->geglSeconds > 0) {
      auto ratio = [&](const Case::Run& r) { return r.best > 0 ? c->geglBest / r.best : 0.0; };
      std::snprintf(gegl, sizeof gegl, "%7.1f %6.2f %6.2f %6.2f", mpx / c->geglBest, ratio(c->plain), ratio(c->key),
                    ratio(c->inverted));
    }
    std::printf("%-28s %-4s | %s | %s | %s | %6.2f%% | %s\n", c->frame->name.c_str(), DepthName(c->depth), plain, key,
                inverted, 100.0 * c->keyedShare, gegl);
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  std::vector<std::unique_ptr<Frame>> frames;
  for (const char* file : {"bench_cel_collage_1920x1080_opaque.png", "bench_cel_collage_3840x2160_opaque.png",
                           "bench_cel_layer_3840x2160_transparent.png"}) {
    auto f = std::make_unique<Frame>();
    f->file = file;
    f->name = f->file.substr(std::strlen("bench_cel_"));
    f->name = f->name.substr(0, f->name.size() - std::strlen(".png"));
    if (!LoadFrame(*f)) return 1;
    std::fprintf(stderr, "frame %s: %dx%d, key colour #%02x%02x%02x on %.2f%% of pixels\n", f->name.c_str(),
                 f->width, f->height, f->key[0], f->key[1], f->key[2], 100.0 * f->keyShare);
    frames.push_back(std::move(f));
  }

  std::vector<std::unique_ptr<Case>> cases;
  for (const auto& f : frames) {
    for (Depth depth : {Depth::U8, Depth::U16, Depth::F32}) {
      auto c = std::make_unique<Case>();
      c->frame = f.get();
      c->depth = depth;
      const std::string suffix = f->name + "/" + DepthName(depth);
      benchmark::RegisterBenchmark(("Copy/" + suffix).c_str(), BM_Copy, c.get())
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("Render/" + suffix + "/plain").c_str(), BM_Render, c.get(), SourceMode::Plain)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("Render/" + suffix + "/key").c_str(), BM_Render, c.get(), SourceMode::Key)
          ->Unit(benchmark::kMillisecond);
      benchmark::RegisterBenchmark(("Render/" + suffix + "/inverted").c_str(), BM_Render, c.get(),
                                   SourceMode::KeyInvert)
          ->Unit(benchmark::kMillisecond);
      if (depth != Depth::U16) {
        // GEGL takes several times longer per frame: three seconds give it some forty tries at its
        // fastest iteration rather than fifteen, so that a busy moment on the machine skews it less.
        benchmark::RegisterBenchmark(("Gegl/" + suffix).c_str(), BM_Gegl, c.get())
            ->Unit(benchmark::kMillisecond)
            ->MinTime(3);
      }
      cases.push_back(std::move(c));
    }
  }

  std::printf("%s\n", MachineLine().c_str());
  std::fflush(stdout);
  peer::StartGegl();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  peer::StopGegl();
  PrintSummary(cases);
  return 0;
}
