#pragma once
// The simulated OpenFX host: loads an effect from a bundle by the standard layout, describes it,
// creates instances and renders frames through them as a compositing host would, with every suite
// of the API and every call checked against the API's contract. What the effect does against it
// (an unknown property, the wrong type or dimension, a suite fetched that the host does not have,
// an image kept past its action, a parameter set outside its range...) is recorded as a failure;
// Failures() lists them and Outstanding() counts what the effect still holds.
//
// One Host lives at a time in a process (the effect's suites are plain C functions).

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ofx_core.h"

namespace ofxhost {

enum class BitDepth { Byte, Short, Float };
enum class Storage { Opaque, PreMultiplied, UnPreMultiplied };

const char* DepthName(BitDepth depth);        // kOfxBitDepth*
const char* StorageName(Storage storage);     // kOfxImageOpaque and so on
const char* ComponentsName(int channels);     // kOfxImageComponentRGBA (4) or RGB (3)
std::size_t SampleBytes(BitDepth depth);

// Pixels as the caller hands them in and gets them back: the rows of `bounds` bottom-up (row y1
// first), each row the pixels x1 to x2 - 1 without padding, each pixel R, G, B and, with four
// channels, A.
struct Frame {
  BitDepth depth = BitDepth::Byte;
  int channels = 4;
  Storage storage = Storage::UnPreMultiplied;
  OfxRectI bounds{};
  std::vector<unsigned char> pixels;

  Frame() = default;
  Frame(BitDepth depth, int channels, Storage storage, OfxRectI bounds);  // zeros
  int Width() const { return bounds.x2 - bounds.x1; }
  int Height() const { return bounds.y2 - bounds.y1; }
  std::size_t PixelBytes() const { return SampleBytes(depth) * static_cast<std::size_t>(channels); }
  std::size_t RowBytes() const { return PixelBytes() * static_cast<std::size_t>(Width()); }
  unsigned char* Pixel(int x, int y);
  const unsigned char* Pixel(int x, int y) const;
};

// What the source clip delivers: the frames' depth, channels and storage.
struct SourceFormat {
  BitDepth depth = BitDepth::Byte;
  int channels = 4;
  Storage storage = Storage::UnPreMultiplied;
};

struct HostOptions {
  std::string context = "OfxImageEffectContextFilter";
  double renderScale = 1.0;  // a proxy render: frames come at this fraction of full size
  int rowPadding = 0;        // bytes after each row of every image the host makes
  bool topDown = false;      // images stored top row first, so their row bytes are negative
  bool wholeOutput = false;  // output images cover the whole output rather than the render window
  unsigned cpus = 4;         // what the multithread suite reports
  bool noImageMemory = false;  // image memory allocations fail, as on a host short of memory
  // The source clip: connected, not connected (its images cannot be fetched), or connected to
  // something that fails to render (its images cannot be fetched either).
  enum class SourceClip { Connected, Disconnected, Failing } source = SourceClip::Connected;
};

// A failure of the host itself or a refusal of the effect's that leaves nothing to go on (the
// bundle cannot be loaded, describing fails, a frame that does not fit the instance).
struct HostError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// One property as described: its name and its values, each as JSON text (a number, a quoted string
// or, for a pointer, null or "pointer").
struct DescribedProperty {
  std::string name;
  std::vector<std::string> values;
};
struct DescribedObject {
  std::string name;  // a clip's or parameter's name; empty for the effect
  std::vector<DescribedProperty> properties;
  // The values of `property` (empty if the object has no such property).
  std::vector<std::string> Values(const std::string& property) const;
};
struct DescribedContext {
  std::string context;
  std::vector<DescribedObject> clips;
  std::vector<DescribedObject> params;  // in the order defined
};
struct Description {
  std::string identifier;
  unsigned versionMajor = 0, versionMinor = 0;
  DescribedObject effect;
  std::vector<DescribedContext> contexts;  // every context the effect supports and the host has
};

struct RenderResult {
  bool identity = false;  // the effect said the output is its source, and the host copied that
  Frame output;           // the render window, stored as the output clip's preferences say
};

struct Outstanding {
  std::size_t images = 0;       // fetched and not released
  std::size_t imageMemory = 0;  // allocated and not freed
  std::size_t memory = 0;       // from the memory suite, not freed
  std::size_t mutexes = 0;      // created and not destroyed
  std::size_t instances = 0;
  bool operator==(const Outstanding&) const = default;
};

class InstanceState;

class Instance {
 public:
  ~Instance();  // destroys the instance in the effect
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  // Sets a parameter as a user would and tells the effect (an int or flag as a whole number, a
  // colour as its components). A value outside the parameter's range is refused and recorded;
  // throws HostError for a parameter the effect does not have.
  void SetParam(const std::string& name, std::vector<double> values);
  std::vector<double> Param(const std::string& name) const;
  bool ParamEnabled(const std::string& name) const;

  // The output clip as the effect's preferences left it.
  SourceFormat OutputFormat() const;

  // Renders the frame at `time` whose source is `source` (its bounds are the source's region of
  // definition, in pixels at the host's render scale), asking for `window` (default: the whole
  // output). Runs the actions a host runs for a frame; safe to call from several threads at once.
  // Throws HostError if the effect fails a render action (the status is in the message).
  RenderResult Render(const Frame& source, OfxTime time, std::optional<OfxRectI> window = {});

 private:
  friend class Host;
  explicit Instance(std::unique_ptr<InstanceState> state);
  std::unique_ptr<InstanceState> state_;
};

class Host {
 public:
  // Loads the first effect of the bundle (a NAME.ofx.bundle folder), then runs the load, describe
  // and describe-in-context actions. Throws HostError.
  explicit Host(const std::string& bundle, HostOptions options = {});
  ~Host();  // unloads the effect: every instance must be gone
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  const Description& Describe() const;
  // A new instance in the host's context, its source clip delivering frames of `format`.
  std::unique_ptr<Instance> CreateInstance(const SourceFormat& format);

  std::vector<std::string> Failures() const;
  Outstanding Held() const;
  // Messages the effect posted through the message suite: "TYPE: text".
  std::vector<std::string> Messages() const;

  // The binary the bundle holds for this system.
  static std::string BinaryPath(const std::string& bundle);

  class State;

 private:
  std::unique_ptr<State> state_;
};

}  // namespace ofxhost
