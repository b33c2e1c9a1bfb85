#pragma once
// The host's state behind Host and Instance, shared by the suites.

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "binary.h"
#include "objects.h"
#include "ofx_memory.h"
#include "ofx_message.h"
#include "ofx_multithread.h"
#include "ofxhost/host.h"

namespace ofxhost {

// What the host fills the images it makes with, to tell what the effect wrote.
inline constexpr unsigned char kUnwritten = 0xA5;

// One frame's render in progress: what its actions, and the suite calls made in them, see.
struct RenderJob {
  InstanceState* instance = nullptr;
  const Frame* source = nullptr;
  OfxTime time = 0;
  OfxRectI window{};               // pixels
  OfxRectI output{};               // the output's region of definition, pixels
  std::optional<OfxRectI> roi;     // the source region the effect asked for, pixels
  bool rendering = false;          // inside the render action, the only one that may fetch the output
  std::shared_ptr<std::vector<unsigned char>> outputBytes;  // made at the first fetch of the output
  OfxRectI outputBounds{};
  std::ptrdiff_t outputRowBytes = 0;
  std::size_t outputOrigin = 0;    // byte offset of pixel (x1, y1)
};

class InstanceState {
 public:
  InstanceState(Host::State& host, const SourceFormat& format);

  Host::State& host;
  std::unique_ptr<Effect> effect;
  SourceFormat source;     // as the frames come
  int sourceChannels = 4;  // as the effect prefers them
  SourceFormat output;
  std::shared_mutex preferences;  // changed by SetParam, read by every render
  std::mutex renderMutex;         // for an effect that is only safe one render per instance
  std::mutex regionMutex;
  OfxRectD lastRegion{};          // the source's last region of definition, canonical
};

class Host::State {
 public:
  explicit State(HostOptions options);
  ~State();

  // Calls an action with the calling thread inside it; releases (and records) images it left.
  OfxStatus Call(const char* action, const void* handle, PropertySet* in, PropertySet* out,
                 RenderJob* job = nullptr);

  Image* Keep(std::unique_ptr<Image> image);
  bool Release(OfxPropertySetHandle image);  // false for a handle that is not a live image
  std::size_t ImagesHeld();
  void PostMessage(std::string text);
  std::vector<std::string> PostedMessages();

  HostOptions options;
  std::unique_ptr<Binary> binary;
  OfxPlugin* plugin = nullptr;
  PropertySet hostProps;
  OfxHost ofxHost{};
  std::unique_ptr<Effect> descriptor;
  std::vector<std::unique_ptr<Effect>> contexts;
  Description description;
  std::atomic<std::size_t> instances{0};
  std::mutex unsafeRender;  // for an effect that is only safe one render at a time

 private:
  std::mutex imagesMutex_;
  std::map<OfxPropertySetHandle, std::unique_ptr<Image>> images_;
  std::mutex messagesMutex_;
  std::vector<std::string> messages_;
};

// The host alive in this process.
Host::State& CurrentHost();

const void* FetchSuite(OfxPropertySetHandle host, const char* name, int version);
const OfxImageEffectSuiteV1* ImageEffectSuite();
const OfxParameterSuiteV1* ParameterSuite();
const OfxMemorySuiteV1* MemorySuite();
const OfxMultiThreadSuiteV1* MultiThreadSuite();
const OfxMessageSuiteV1* MessageSuiteV1();
const OfxMessageSuiteV2* MessageSuiteV2();

// Pixel coordinates of a canonical rectangle at `scale`, rounded outwards.
OfxRectI ToPixels(const OfxRectD& canonical, double scale);
OfxRectD ToCanonical(const OfxRectI& pixels, double scale);
OfxRectI Intersect(const OfxRectI& a, const OfxRectI& b);

// The values a parameter may take, for checking one set by the effect or the user; an empty
// string when `values` are allowed, else why not.
std::string OutOfRange(const Param& param, const std::vector<double>& values);

}  // namespace ofxhost
