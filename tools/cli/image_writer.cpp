#include "image_writer.h"

#include <OpenImageIO/filesystem.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "atomic_file.h"
#include "cli_error.h"
#include "version.h"

namespace tessaline::cli {

namespace fs = std::filesystem;

namespace {

// The writer's file access, routed to the temporary file so that every failed write is seen here,
// whether or not the writer checks what its writes return (some do not).
class TempFileProxy final : public OIIO::Filesystem::IOProxy {
 public:
  explicit TempFileProxy(AtomicFile& file) : IOProxy(file.TempPath(), Write), file_(file) {}

  const char* proxytype() const override { return "temporary file"; }
  size_t write(const void* buffer, size_t size) override {
    const size_t done = pwrite(buffer, size, m_pos);
    m_pos += static_cast<int64_t>(done);
    return done;
  }
  size_t pwrite(const void* buffer, size_t size, int64_t offset) override {
    return Transfer(const_cast<void*>(buffer), size, offset, true);
  }
  size_t read(void* buffer, size_t size) override {
    const size_t done = pread(buffer, size, m_pos);
    m_pos += static_cast<int64_t>(done);
    return done;
  }
  size_t pread(void* buffer, size_t size, int64_t offset) override {
    return Transfer(buffer, size, offset, false);
  }
  size_t size() const override {
    struct stat status {};
    return fstat(file_.Descriptor(), &status) == 0 ? static_cast<size_t>(status.st_size) : 0;
  }

 private:
  size_t Transfer(void* buffer, size_t size, int64_t offset, bool writing) {
    auto* bytes = static_cast<char*>(buffer);
    size_t done = 0;
    while (done < size) {
      const ssize_t n = writing ? ::pwrite(file_.Descriptor(), bytes + done, size - done, offset + done)
                                : ::pread(file_.Descriptor(), bytes + done, size - done, offset + done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // A read may end at the end of the file; a write that stores nothing is a failure.
        if (writing || n < 0) file_.NoteError(n < 0 ? errno : ENOSPC);
        break;
      }
      done += static_cast<size_t>(n);
    }
    return done;
  }

  AtomicFile& file_;
};

// Writers whose files come out whole through a proxy. Others (TIFF, whose directories are
// rewritten through reads the proxy path does not serve, HDR) write by name and are read back.
bool WritesThroughProxy(const std::string& format) {
  for (const char* known : {"png", "openexr", "jpeg", "targa", "bmp", "webp", "dpx"}) {
    if (format == known) return true;
  }
  return false;
}

std::string Article(const std::string& format) {
  return (std::string("aeiou").find(format.front()) != std::string::npos ? "an " : "a ") + format;
}

std::string ChannelNames(const OIIO::ImageSpec& spec) {
  std::string names;
  for (const std::string& name : spec.channelnames) names += (names.empty() ? "" : ",") + name;
  return names;
}

// The colour and alpha channels of `wanted` that a reader does not find by name in `written`: a
// format that renames them (a depth-map format calls its one channel "z") has not kept a picture.
std::string LostColourChannels(const OIIO::ImageSpec& wanted, const OIIO::ImageSpec& written) {
  std::string lost;
  for (const char* name : {"R", "G", "B", "A", "Y"}) {
    if (ChannelIndex(wanted, name) >= 0 && ChannelIndex(written, name) < 0) {
      lost += (lost.empty() ? "" : ",") + std::string(name);
    }
  }
  return lost;
}

// What the writer cannot keep, said before anything is written.
void CheckCapacity(OIIO::ImageOutput& writer, const std::string& path, const std::vector<SubimageData>& subimages) {
  const std::string cannot = "cannot write " + Quoted(path) + ": " + Article(writer.format_name()) + " file ";
  const std::string remedy = "; write OUTPUT as .exr or .tif to keep everything";
  if (subimages.size() > 1 && !writer.supports("multiimage")) {
    throw CliError(cannot + "holds a single image, and this one has " + std::to_string(subimages.size()) +
                   " parts or pages" + remedy);
  }
  for (const SubimageData& subimage : subimages) {
    if (subimage.spec.alpha_channel >= 0 && !writer.supports("alpha")) {
      throw CliError(cannot + "cannot hold an alpha channel" + remedy);
    }
    // The library's DPX writer stops the whole program on a channel count it does not take, rather
    // than refusing it.
    const int channels = subimage.spec.nchannels;
    if (writer.format_name() == std::string("dpx") && channels != 1 && channels != 3 && channels != 4) {
      throw CliError(cannot + "holds 1, 3 or 4 channels, and this image has " + std::to_string(channels) + remedy);
    }
  }
}

// A writer that fails without saying why, or leaves a short file without failing, has usually met
// a full disk; the message says so when the disk is indeed full.
[[noreturn]] void FailWriting(const AtomicFile& file, const std::string& path, const std::string& why) {
  if (file.DiskFull()) file.Fail(ENOSPC);
  throw CliError("cannot write " + Quoted(path) + ": " + why);
}

// Formats that keep only an approximation of the samples, by design.
bool Lossy(const std::string& format) {
  for (const char* lossy : {"jpeg", "webp", "heif", "jpeg2000", "gif"}) {
    if (format == lossy) return true;
  }
  return false;
}

// A subimage's samples as floats, each channel converted from its own format.
std::vector<float> AsFloats(const SubimageData& subimage) {
  const OIIO::ImageSpec& spec = subimage.spec;
  const auto channels = static_cast<OIIO::stride_t>(spec.nchannels);
  const auto pixel = static_cast<OIIO::stride_t>(spec.pixel_bytes(true));
  std::vector<float> floats(spec.image_pixels() * static_cast<std::size_t>(channels));
  const auto* bytes = static_cast<const char*>(subimage.samples);
  for (int c = 0; c < spec.nchannels; ++c) {
    OIIO::convert_image(1, spec.width, spec.height, 1, bytes, spec.channelformat(c), pixel, pixel * spec.width,
                        OIIO::AutoStride, floats.data() + c, OIIO::TypeDesc::FLOAT,
                        channels * static_cast<OIIO::stride_t>(sizeof(float)),
                        channels * static_cast<OIIO::stride_t>(sizeof(float)) * spec.width, OIIO::AutoStride);
    bytes += spec.channelformat(c).size();
  }
  return floats;
}

// How far a sample of this type may be from the value it was given.
float Step(OIIO::TypeDesc type, float value) {
  if (type == OIIO::TypeDesc::HALF) return std::abs(value) / 1024.0f + 6e-8f;
  if (type.is_floating_point()) return std::abs(value) * 1e-6f;
  return 1.0f / static_cast<float>((std::uint64_t{1} << (8 * type.size())) - 1);
}

// Where a written file does not hold what was given to its writer (a library writer with a fault
// of its own, such as swapped bytes), within the precision of the types on both sides; "" when it
// does. Integer samples hold 0..1 (or -1..1), so the given values are clamped to that first; an
// HDR file shares one exponent between the channels of a pixel.
std::string WrongSample(const OIIO::ImageSpec& given, const std::vector<float>& wanted, const OIIO::ImageSpec& stored,
                        const std::vector<float>& got, bool sharedExponent) {
  const auto n = static_cast<std::size_t>(given.nchannels);
  for (std::size_t i = 0; i < wanted.size() && i < got.size(); ++i) {
    const int c = static_cast<int>(i % n);
    const OIIO::TypeDesc type = stored.channelformat(c);
    float want = wanted[i];
    if (!type.is_floating_point()) want = std::clamp(want, type.is_signed() ? -1.0f : 0.0f, 1.0f);
    float step = std::max(Step(given.channelformat(c), want), Step(type, want));
    if (sharedExponent) {
      for (std::size_t k = i - i % n; k < i - i % n + n; ++k) step = std::max(step, std::abs(wanted[k]) / 128.0f);
    }
    if (std::abs(got[i] - want) <= step * 1.01f || (std::isnan(got[i]) && std::isnan(want))) continue;
    const std::size_t pixel = i / n;
    char text[160];
    std::snprintf(text, sizeof text, "channel %s of pixel (%zu, %zu) reads back as %g, not %g",
                  c < static_cast<int>(given.channelnames.size()) ? given.channelnames[static_cast<std::size_t>(c)].c_str() : "?",
                  pixel % static_cast<std::size_t>(given.width), pixel / static_cast<std::size_t>(given.width),
                  static_cast<double>(got[i]), static_cast<double>(want));
    return text;
  }
  return "";
}

// The written file as a reader sees it: every subimage with every channel, and (where the writer
// did not go through our proxy, so that its writes went unseen) every sample readable and, unless
// the format is lossy, holding what was written.
void CheckWritten(const AtomicFile& file, const std::string& path, const std::string& format,
                  const std::vector<SubimageData>& subimages, bool readSamples) {
  OIIO::ImageSpec asStored;
  asStored.attribute("oiio:UnassociatedAlpha", 1);  // straight samples stay as written, not multiplied
  auto reader = OIIO::ImageInput::open(file.TempPath(), &asStored);
  std::string problem;
  for (std::size_t i = 0; reader && problem.empty() && i < subimages.size(); ++i) {
    const OIIO::ImageSpec& wanted = subimages[i].spec;
    if (!reader->seek_subimage(static_cast<int>(i), 0)) {
      problem = "keeps only " + std::to_string(i) + " of " + std::to_string(subimages.size()) + " parts or pages";
    } else if (reader->spec().nchannels < wanted.nchannels) {
      problem = "keeps only " + std::to_string(reader->spec().nchannels) + " of the " +
                std::to_string(wanted.nchannels) + " channels " + ChannelNames(wanted);
    } else if (reader->spec().nchannels > wanted.nchannels) {
      problem = "has " + std::to_string(reader->spec().nchannels) + " channels where " +
                std::to_string(wanted.nchannels) + " (" + ChannelNames(wanted) + ") were written";
    } else if (const std::string lost = LostColourChannels(wanted, reader->spec()); !lost.empty()) {
      problem = "does not keep the colour channels " + lost + " (it names them " + ChannelNames(reader->spec()) + ")";
    } else if (readSamples) {
      std::vector<float> samples(reader->spec().image_pixels() * static_cast<std::size_t>(wanted.nchannels));
      if (!reader->read_image(static_cast<int>(i), 0, 0, wanted.nchannels, OIIO::TypeDesc::FLOAT, samples.data()) ||
          reader->has_error()) {
        problem = "does not read back complete";
      } else if (!Lossy(format)) {
        const std::string wrong = WrongSample(wanted, AsFloats(subimages[i]), reader->spec(), samples, format == "hdr");
        if (!wrong.empty()) problem = "does not hold what was written (" + wrong + ")";
      }
    }
  }
  if (!reader) problem = "does not read back";
  if (problem.empty()) return;
  if (reader) reader->geterror();
  OIIO::geterror();
  FailWriting(file, path, "the " + format + " file written " + problem + "; write OUTPUT as .exr or .tif to keep everything");
}

}  // namespace

namespace {

// The library's writer for a file name or format name, unless it makes no file: one of them draws on
// the terminal, one throws the image away.
std::unique_ptr<OIIO::ImageOutput> FileWriter(const std::string& nameOrFormat) {
  auto writer = OIIO::ImageOutput::create(nameOrFormat);
  OIIO::geterror();  // a name no writer takes is answered here, not by the library's text
  if (writer && (writer->format_name() == std::string("term") || writer->format_name() == std::string("null"))) {
    writer.reset();
  }
  return writer;
}

// The library's writers that tessaline does not use (CreateWriter says why).
bool Unused(const std::string& format) { return format == "rla" || format == "gif" || format == "heif"; }

}  // namespace

std::optional<bool> HoldsAlpha(const std::string& path) {
  const auto writer = FileWriter(path);
  if (!writer) return std::nullopt;
  return writer->supports("alpha");
}

std::string ExtensionsHoldingAlpha() {
  const std::string list = OIIO::get_string_attribute("extension_list");  // "fmt:ext,ext;fmt:ext"
  std::string extensions;
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = std::min(list.find(';', start), list.size());
    const std::size_t colon = list.find(':', start);
    const std::string format = list.substr(start, colon - start);
    const std::string first = list.substr(colon + 1, std::min(list.find(',', colon), end) - colon - 1);
    const auto writer = FileWriter(format);
    if (writer && !Unused(format) && writer->supports("alpha") && FileWriter("x." + first)) {
      extensions += (extensions.empty() ? "." : ", .") + first;
    }
    start = end + 1;
  }
  return extensions;
}

std::unique_ptr<OIIO::ImageOutput> CreateWriter(const std::string& path) {
  RefuseFolder(path);
  auto writer = FileWriter(path);
  // Three of the library's writers are not used. Every file tessaline writes is the same for the
  // same input and options, and its RLA writer stamps every file with the time of writing whatever
  // it is told, while its GIF writer picks a different palette each time (seen between two runs).
  // Its HEIF writer reads each row past the end of the image it is given (seen under
  // AddressSanitizer), which no input may make it do.
  const std::string refused = writer ? writer->format_name() : "";
  if (Unused(refused)) {
    throw CliError("cannot write " + Quoted(path) + ": the " + refused + " writer of the image library " +
                   (refused == "heif" ? "reads past the end of the pictures it is given"
                                      : "does not give the same file twice for the same picture") +
                   ", so tessaline does not use it; write OUTPUT as .png, .tif or .exr");
  }
  if (!writer) {
    throw CliError("cannot write " + Quoted(path) + ": its extension names no image format tessaline can " +
                   "write; end OUTPUT in .png, .tif, .exr or another image extension");
  }
  return writer;
}

void WriteImageFile(std::unique_ptr<OIIO::ImageOutput> writerIn, const std::string& path,
                    const std::vector<SubimageData>& subimages) {
  CheckCapacity(*writerIn, path, subimages);
  // Declared in this order so that the writer is gone before the proxy and the file it writes to.
  AtomicFile file(path);
  TempFileProxy proxy(file);
  std::unique_ptr<OIIO::ImageOutput> writer = std::move(writerIn);
  const std::string format = writer->format_name();
  const bool proxied = WritesThroughProxy(format) && writer->set_ioproxy(&proxy);

  std::vector<OIIO::ImageSpec> specs;
  for (const SubimageData& subimage : subimages) {
    specs.push_back(subimage.spec);
    // The conventional tag says what made the file. A time stamp would make every run's file
    // differ: the writers that add one unasked (OpenEXR, TIFF) are given an empty one instead,
    // unless the input had its own.
    specs.back().attribute("Software", SoftwareName());
    if (specs.back().find_attribute("DateTime") == nullptr) specs.back().attribute("DateTime", "");
    // The SGI writer fills the header's image name from the description, and without one leaves
    // whatever its memory held there: the file's own name it is.
    if (format == "sgi" && specs.back().get_string_attribute("ImageDescription").empty()) {
      specs.back().attribute("ImageDescription", fs::path(path).filename().string().substr(0, 79));
    }
  }
  // DPX records the name it is written under in its header: it is given the OUTPUT's own, which
  // through a proxy it never opens.
  const std::string name = proxied && format == "dpx" ? path : file.TempPath();
  const bool opened = subimages.size() == 1 ? writer->open(name, specs[0])
                                            : writer->open(name, static_cast<int>(specs.size()), specs.data());
  bool ok = opened;
  for (std::size_t i = 0; ok && i < subimages.size(); ++i) {
    if (i > 0) ok = writer->open(name, specs[i], OIIO::ImageOutput::AppendSubimage);
    // The samples are in the spec's own formats. A writer may store another (OpenEXR has no 8-bit
    // samples, an HDR file only floats), and converts only when told what it is given: "native"
    // would be its own format, read past the end of a smaller buffer. Mixed formats are only ever
    // given to a writer that keeps them.
    const OIIO::TypeDesc given = specs[i].channelformats.empty() ? specs[i].format : OIIO::TypeUnknown;
    ok = ok && writer->write_image(given, subimages[i].samples);
  }
  std::string detail = OneLine(writer->geterror());
  if (opened) {
    ok = writer->close() && ok;
    if (detail == OneLine("")) detail = OneLine(writer->geterror());
  } else if (proxied) {
    // A writer that refused to open has nothing to close, and some (WebP) would free what they never
    // made when closing a file they take for open because it has a proxy: the proxy goes first.
    writer->set_ioproxy(nullptr);
  }
  writer.reset();
  // The disk's own account comes first: a writer's text about a failed write names no cause.
  file.ThrowIfWritesFailed();
  if (!ok) {
    FailWriting(file, path, "the " + format + " writer refused the image (" + detail +
                                "); try another OUTPUT format such as .exr or .tif");
  }
  CheckWritten(file, path, format, subimages, !proxied);
  file.Commit();
}

}  // namespace tessaline::cli
