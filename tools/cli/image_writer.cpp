#include "image_writer.h"

#include <OpenImageIO/filesystem.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "atomic_file.h"
#include "cli_error.h"

namespace tessaline::cli {

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
  for (const char* known : {"png", "openexr", "jpeg", "targa", "bmp", "webp"}) {
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
  }
}

// A writer that fails without saying why, or leaves a short file without failing, has usually met
// a full disk; the message says so when the disk is indeed full.
[[noreturn]] void FailWriting(const AtomicFile& file, const std::string& path, const std::string& why) {
  if (file.DiskFull()) file.Fail(ENOSPC);
  throw CliError("cannot write " + Quoted(path) + ": " + why);
}

// The written file as a reader sees it: every subimage with every channel, and (where the writer
// did not go through our proxy, so that its writes went unseen) every sample readable.
void CheckWritten(const AtomicFile& file, const std::string& path, const std::string& format,
                  const std::vector<SubimageData>& subimages, bool readSamples) {
  auto reader = OIIO::ImageInput::open(file.TempPath());
  std::string problem;
  for (std::size_t i = 0; reader && problem.empty() && i < subimages.size(); ++i) {
    const OIIO::ImageSpec& wanted = subimages[i].spec;
    if (!reader->seek_subimage(static_cast<int>(i), 0)) {
      problem = "keeps only " + std::to_string(i) + " of " + std::to_string(subimages.size()) + " parts or pages";
    } else if (reader->spec().nchannels != wanted.nchannels) {
      problem = "keeps only " + std::to_string(reader->spec().nchannels) + " of the " +
                std::to_string(wanted.nchannels) + " channels " + ChannelNames(wanted);
    } else if (readSamples) {
      std::vector<float> samples(reader->spec().image_pixels() * static_cast<std::size_t>(wanted.nchannels));
      if (!reader->read_image(static_cast<int>(i), 0, 0, wanted.nchannels, OIIO::TypeDesc::FLOAT, samples.data()) ||
          reader->has_error()) {
        problem = "does not read back complete";
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

std::unique_ptr<OIIO::ImageOutput> CreateWriter(const std::string& path) {
  auto writer = OIIO::ImageOutput::create(path);
  if (!writer) {
    OIIO::geterror();  // OpenImageIO's text names no remedy; ours does
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
  for (const SubimageData& subimage : subimages) specs.push_back(subimage.spec);
  bool ok = subimages.size() == 1 ? writer->open(file.TempPath(), specs[0])
                                  : writer->open(file.TempPath(), static_cast<int>(specs.size()), specs.data());
  for (std::size_t i = 0; ok && i < subimages.size(); ++i) {
    if (i > 0) ok = writer->open(file.TempPath(), specs[i], OIIO::ImageOutput::AppendSubimage);
    ok = ok && writer->write_image(OIIO::TypeUnknown, subimages[i].samples);
  }
  ok = writer->close() && ok;
  const std::string detail = OneLine(writer->geterror());
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
