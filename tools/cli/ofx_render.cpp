#include "ofx_render.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "ofxhost/host.h"

namespace tessaline::cli {
namespace {

namespace fs = std::filesystem;

ofxhost::BitDepth HostDepth(Depth depth) {
  switch (depth) {
    case Depth::U8: return ofxhost::BitDepth::Byte;
    case Depth::U16: return ofxhost::BitDepth::Short;
    case Depth::F32: break;
  }
  return ofxhost::BitDepth::Float;
}

// The engine's top-down straight ARGB pixels as a host's bottom-up straight RGBA frame, 16-bit
// samples on the host's 0..65535 scale; and back.
template <class T>
void ToHost(const Image& in, ofxhost::Frame& frame) {
  const T* engine = reinterpret_cast<const T*>(in.pixels.data());
  for (int y = 0; y < in.height; ++y) {
    T* row = reinterpret_cast<T*>(frame.Pixel(0, in.height - 1 - y));
    for (int x = 0; x < in.width; ++x, engine += 4, row += 4) {
      for (int k = 0; k < 4; ++k) row[k] = Samples<T>::Out(engine[(k + 1) % 4]);
    }
  }
}

template <class T>
void FromHost(const ofxhost::Frame& frame, Image& out) {
  T* engine = reinterpret_cast<T*>(out.pixels.data());
  for (int y = 0; y < out.height; ++y) {
    const T* row = reinterpret_cast<const T*>(frame.Pixel(0, out.height - 1 - y));
    for (int x = 0; x < out.width; ++x, engine += 4, row += 4) {
      for (int k = 0; k < 4; ++k) engine[(k + 1) % 4] = Samples<T>::In(row[k]);
    }
  }
}

// The plug-in, loaded once, with an instance per depth set to the run's values.
class Session {
 public:
  Session(const std::string& bundle, const Params& params, SourceMode mode)
      : host_(bundle), params_(params), mode_(mode) {}

  ofxhost::Instance& InstanceFor(Depth depth) {
    std::lock_guard lock(mutex_);
    auto& instance = instances_[depth];
    if (instance != nullptr) return *instance;
    instance = host_.CreateInstance({HostDepth(depth), 4, ofxhost::Storage::UnPreMultiplied});
    instance->SetParam("colorThreshold", {static_cast<double>(params_.colorThreshold)});
    instance->SetParam("softness", {static_cast<double>(params_.softness)});
    instance->SetParam("bias", {static_cast<double>(params_.bias)});
    instance->SetParam("colorKeyEnable", {mode_ == SourceMode::Plain ? 0.0 : 1.0});
    instance->SetParam("keyColor", {params_.keyColor[1] / 255.0, params_.keyColor[2] / 255.0, params_.keyColor[3] / 255.0});
    instance->SetParam("keyColorThreshold", {static_cast<double>(params_.keyColorThreshold)});
    instance->SetParam("invert", {mode_ == SourceMode::KeyInvert ? 1.0 : 0.0});
    return *instance;
  }

  // Everything the host recorded against the plug-in, as one sentence; empty when nothing was.
  std::string Breaches() const {
    std::string all;
    for (const std::string& failure : host_.Failures()) all += (all.empty() ? "" : "; ") + failure;
    return all;
  }

  bool Matches(const Params& params, SourceMode mode) const {
    const auto same = [](const Params& a, const Params& b) {
      return a.colorThreshold == b.colorThreshold && a.softness == b.softness && a.bias == b.bias &&
             std::equal(a.keyColor, a.keyColor + 4, b.keyColor) && a.keyColorThreshold == b.keyColorThreshold;
    };
    return mode == mode_ && same(params, params_);
  }

 private:
  ofxhost::Host host_;
  const Params params_;
  const SourceMode mode_;
  std::mutex mutex_;
  std::map<Depth, std::unique_ptr<ofxhost::Instance>> instances_;
};

std::mutex gSessionMutex;
std::unique_ptr<Session> gSession;

Session& SessionFor(const std::string& bundle, const Params& params, SourceMode mode) {
  std::lock_guard lock(gSessionMutex);
  if (gSession != nullptr && !gSession->Matches(params, mode)) gSession.reset();
  if (gSession == nullptr) {
    if (!fs::exists(ofxhost::Host::BinaryPath(bundle))) {
      throw CliError("--via-ofx needs '" + ofxhost::Host::BinaryPath(bundle) +
                     "'; build it with 'bash scripts/build.sh native'");
    }
    try {
      gSession = std::make_unique<Session>(bundle, params, mode);
    } catch (const ofxhost::HostError& e) {
      throw CliError(std::string("--via-ofx cannot load the OpenFX plug-in: ") + e.what());
    }
  }
  return *gSession;
}

}  // namespace

std::string FindOfxBundle() {
  if (const char* bundle = std::getenv("TESSALINE_OFX")) return bundle;
  return (fs::read_symlink("/proc/self/exe").parent_path() / "tessaline.ofx.bundle").string();
}

Image RenderThroughOfx(const Image& in, const Params& params, SourceMode mode, const std::string& bundle) {
  Session& session = SessionFor(bundle, params, mode);
  ofxhost::Frame frame(HostDepth(in.depth), 4, ofxhost::Storage::UnPreMultiplied, {0, 0, in.width, in.height});
  if (in.depth == Depth::U8) ToHost<std::uint8_t>(in, frame);
  if (in.depth == Depth::U16) ToHost<std::uint16_t>(in, frame);
  if (in.depth == Depth::F32) ToHost<float>(in, frame);
  ofxhost::RenderResult result;
  try {
    result = session.InstanceFor(in.depth).Render(frame, 0);
  } catch (const ofxhost::HostError& e) {
    throw CliError(std::string("the OpenFX plug-in failed: ") + e.what());
  }
  if (const std::string breaches = session.Breaches(); !breaches.empty()) {
    throw CliError("the OpenFX plug-in broke the host's rules: " + breaches);
  }
  const ofxhost::Frame& f = result.output;
  if (f.channels != 4 || f.storage != ofxhost::Storage::UnPreMultiplied || f.Width() != in.width ||
      f.Height() != in.height) {
    throw CliError("the OpenFX plug-in gave back a frame of another size or layout");
  }
  Image out = in;
  if (in.depth == Depth::U8) FromHost<std::uint8_t>(f, out);
  if (in.depth == Depth::U16) FromHost<std::uint16_t>(f, out);
  if (in.depth == Depth::F32) FromHost<float>(f, out);
  return out;
}

}  // namespace tessaline::cli
