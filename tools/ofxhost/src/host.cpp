// The host: loading and describing the effect, its instances, and the actions of a frame's render.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "host_internal.h"

namespace ofxhost {
namespace {

Host::State* gHost = nullptr;

constexpr const char* kHostContexts[] = {kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral};

std::string StatusText(OfxStatus status) { return "status " + std::to_string(status); }

bool Succeeded(OfxStatus status) { return status == kOfxStatOK || status == kOfxStatReplyDefault; }

std::vector<Value> Strings(std::initializer_list<const char*> values) {
  std::vector<Value> all;
  for (const char* v : values) all.emplace_back(std::string(v));
  return all;
}

void AddEffectDescriptorProperties(PropertySet& p) {
  p.Add(kOfxPropType, {std::string(kOfxTypeImageEffect)});
  p.Add(kOfxPluginPropFilePath, {std::string()});
  for (const char* label : {kOfxPropLabel, kOfxPropShortLabel, kOfxPropLongLabel}) p.Add(label, {std::string()}, true);
  p.Add(kOfxPropVersion, {}, true, ValueType::Int);
  p.Add(kOfxPropVersionLabel, {std::string()}, true);
  p.Add(kOfxPropPluginDescription, {std::string()}, true);
  p.Add(kOfxImageEffectPluginPropGrouping, {std::string()}, true);
  p.Add(kOfxImageEffectPropSupportedContexts, {}, true, ValueType::String);
  p.Add(kOfxImageEffectPropSupportedPixelDepths, {}, true, ValueType::String);
  p.Add(kOfxImageEffectPropSupportsTiles, {1}, true);
  p.Add(kOfxImageEffectPropSupportsMultiResolution, {1}, true);
  p.Add(kOfxImageEffectPropTemporalClipAccess, {0}, true);
  p.Add(kOfxImageEffectPluginRenderThreadSafety, {std::string(kOfxImageEffectRenderInstanceSafe)}, true);
  p.Add(kOfxImageEffectPluginPropHostFrameThreading, {1}, true);
  p.Add(kOfxImageEffectPluginPropSingleInstance, {0}, true);
  p.Add(kOfxImageEffectPropSupportsMultipleClipDepths, {0}, true);
  p.Add(kOfxImageEffectPropSupportsMultipleClipPARs, {0}, true);
  p.Add(kOfxImageEffectPluginPropFieldRenderTwiceAlways, {1}, true);
  p.Add(kOfxImageEffectPluginPropOverlayInteractV1, {static_cast<void*>(nullptr)}, true);
  p.Add(kOfxImageEffectPropClipPreferencesSlaveParam, {}, true, ValueType::String);
  p.Add(kOfxImageEffectInstancePropSequentialRender, {0}, true);
}

void AddInstanceProperties(PropertySet& p, const std::string& context, int supportsTiles) {
  p.Add(kOfxPropType, {std::string(kOfxTypeImageEffectInstance)});
  p.Add(kOfxImageEffectPropContext, {context});
  p.Add(kOfxPropInstanceData, {static_cast<void*>(nullptr)}, true);
  p.Add(kOfxImageEffectPropProjectSize, {1920.0, 1080.0});
  p.Add(kOfxImageEffectPropProjectOffset, {0.0, 0.0});
  p.Add(kOfxImageEffectPropProjectExtent, {1920.0, 1080.0});
  p.Add(kOfxImageEffectPropProjectPixelAspectRatio, {1.0});
  p.Add(kOfxImageEffectInstancePropEffectDuration, {1.0});
  p.Add(kOfxImageEffectInstancePropSequentialRender, {0});
  p.Add(kOfxImageEffectPropSupportsTiles, {supportsTiles}, true);
  p.Add(kOfxImageEffectPropFrameRate, {24.0});
  p.Add(kOfxPropIsInteractive, {0});
}

// Copies what `from` holds into `to` where `to` has the property too.
void CopyProperties(const PropertySet& from, PropertySet& to) {
  for (auto& [name, values] : from.Snapshot()) {
    if (to.Has(name) && name != kOfxPropType) to.Put(name, values);
  }
}

std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += {'\\', c};
    else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string JsonValue(const Value& v) {
  if (const int* i = std::get_if<int>(&v)) return std::to_string(*i);
  if (const double* d = std::get_if<double>(&v)) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, *d).ptr;
    return std::string(text, end);
  }
  if (const std::string* s = std::get_if<std::string>(&v)) return JsonString(*s);
  return std::get<void*>(v) == nullptr ? "null" : "\"pointer\"";
}

DescribedObject Describe(const std::string& name, const PropertySet& set) {
  DescribedObject object{name, {}};
  for (auto& [property, values] : set.Snapshot()) {
    DescribedProperty p{property, {}};
    for (const Value& v : values) p.values.push_back(JsonValue(v));
    object.properties.push_back(std::move(p));
  }
  return object;
}

bool Contains(const std::vector<Value>& values, const std::string& wanted) {
  return std::any_of(values.begin(), values.end(),
                     [&](const Value& v) { return std::get<std::string>(v) == wanted; });
}

// What describing must leave: the context's clips, and parameters that hold together.
void CheckDescription(const Effect& context) {
  const std::string where = "describing in " + context.context + ": ";
  for (const char* clip : {kOfxImageEffectSimpleSourceClipName, kOfxImageEffectOutputClipName}) {
    const Clip* c = context.FindClip(clip);
    if (c == nullptr) {
      RecordFailure(where + "no clip " + clip);
      continue;
    }
    if (c->props.Values(kOfxImageEffectPropSupportedComponents).empty()) {
      RecordFailure(where + "clip " + clip + " supports no components");
    }
  }
  for (const auto& p : context.params.params) {
    const std::string parent = p->props.String(kOfxParamPropParent);
    const Param* group = parent.empty() ? nullptr : context.params.Find(parent);
    if (!parent.empty() && (group == nullptr || group->type.name != std::string(kOfxParamTypeGroup))) {
      RecordFailure(where + "parameter " + p->name + " has parent " + parent + ", which is no group");
    }
    if (p->type.values == ParamValues::None || p->type.values == ParamValues::String) continue;
    std::vector<double> defaults;
    for (const Value& v : p->props.Values(kOfxParamPropDefault)) {
      defaults.push_back(std::holds_alternative<int>(v) ? std::get<int>(v) : std::get<double>(v));
    }
    const std::string wrong = OutOfRange(*p, defaults);
    if (!wrong.empty()) RecordFailure(where + "parameter " + p->name + " defaults to " + wrong);
    if (!p->type.numeric) continue;
    for (int i = 0; i < p->type.dimension; ++i) {
      const auto number = [&](const char* name) {
        const Value v = p->props.Values(name)[static_cast<std::size_t>(i)];
        return std::holds_alternative<int>(v) ? std::get<int>(v) : std::get<double>(v);
      };
      if (!(number(kOfxParamPropMin) <= number(kOfxParamPropDisplayMin) &&
            number(kOfxParamPropDisplayMin) <= number(kOfxParamPropDisplayMax) &&
            number(kOfxParamPropDisplayMax) <= number(kOfxParamPropMax))) {
        RecordFailure(where + "parameter " + p->name + ": its display range is not inside its range");
      }
    }
  }
  for (const Value& v : context.props.Values(kOfxImageEffectPropClipPreferencesSlaveParam)) {
    if (context.params.Find(std::get<std::string>(v)) == nullptr) {
      RecordFailure(where + "clip preferences follow " + std::get<std::string>(v) + ", which is no parameter");
    }
  }
}

// Input properties are the host's; output ones the effect's to write.
struct Args {
  explicit Args(const char* what) : set(what) {}
  PropertySet set;
};

void AddScale(PropertySet& p) {
  const double scale = CurrentHost().options.renderScale;
  p.Add(kOfxImageEffectPropRenderScale, {scale, scale});
}

std::vector<Value> Rect(const OfxRectD& r) { return {r.x1, r.y1, r.x2, r.y2}; }
std::vector<Value> Rect(const OfxRectI& r) { return {r.x1, r.y1, r.x2, r.y2}; }

OfxRectD RectD(const std::vector<Value>& v) {
  return {std::get<double>(v[0]), std::get<double>(v[1]), std::get<double>(v[2]), std::get<double>(v[3])};
}

bool Empty(const OfxRectI& r) { return r.x2 <= r.x1 || r.y2 <= r.y1; }

}  // namespace

Host::State& CurrentHost() { return *gHost; }

// ---- Effects ----------------------------------------------------------------------------------------

Effect::Effect(bool isInstance, std::string ctx)
    : instance(isInstance), context(std::move(ctx)),
      props(instance ? "the effect instance" : context.empty() ? "the effect descriptor" : "the descriptor in " + context),
      params(isInstance) {}

InstanceState::InstanceState(Host::State& h, const SourceFormat& format)
    : host(h), source(format), sourceChannels(format.channels), output(format) {}

// ---- The host's state ------------------------------------------------------------------------------

Host::State::State(HostOptions o) : options(std::move(o)), hostProps("the host") {
  PropertySet& p = hostProps;
  p.Add(kOfxPropType, {std::string(kOfxTypeImageEffectHost)});
  p.Add(kOfxPropName, {std::string("com.norva.ofxhost")});
  p.Add(kOfxPropLabel, {std::string("tessaline's simulated OpenFX host")});
  p.Add(kOfxPropVersion, {1, 0, 0});
  p.Add(kOfxPropVersionLabel, {std::string("1.0")});
  p.Add(kOfxPropAPIVersion, {1, 5});
  p.Add(kOfxImageEffectHostPropIsBackground, {1});
  p.Add(kOfxImageEffectPropSupportsOverlays, {0});
  p.Add(kOfxImageEffectPropSupportsMultiResolution, {1});
  p.Add(kOfxImageEffectPropSupportsTiles, {1});
  p.Add(kOfxImageEffectPropTemporalClipAccess, {0});
  p.Add(kOfxImageEffectPropSupportedComponents, Strings({kOfxImageComponentRGBA, kOfxImageComponentRGB}));
  p.Add(kOfxImageEffectPropSupportedContexts, Strings({kOfxImageEffectContextFilter, kOfxImageEffectContextGeneral}));
  p.Add(kOfxImageEffectPropSupportedPixelDepths, Strings({kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat}));
  p.Add(kOfxImageEffectPropSupportsMultipleClipDepths, {0});
  p.Add(kOfxImageEffectPropSupportsMultipleClipPARs, {0});
  p.Add(kOfxImageEffectPropSetableFrameRate, {0});
  p.Add(kOfxImageEffectPropSetableFielding, {0});
  p.Add(kOfxImageEffectInstancePropSequentialRender, {0});
  p.Add(kOfxParamHostPropSupportsCustomInteract, {0});
  p.Add(kOfxParamHostPropMaxParameters, {-1});
  p.Add(kOfxImageEffectHostPropNativeOrigin, {std::string(kOfxHostNativeOriginBottomLeft)});
  p.Add(kOfxImageEffectPropRenderQualityDraft, {0});
  ofxHost.host = hostProps.handle();
  ofxHost.fetchSuite = FetchSuite;
}

Host::State::~State() = default;

OfxStatus Host::State::Call(const char* action, const void* handle, PropertySet* in, PropertySet* out, RenderJob* job) {
  const ActionScope outer = CurrentAction();
  const ActionScope scope{action, NextActionSerial(), job};
  SetCurrentAction(scope);
  const OfxStatus status = plugin->mainEntry(action, handle, in != nullptr ? in->handle() : nullptr,
                                             out != nullptr ? out->handle() : nullptr);
  SetCurrentAction(outer);
  std::lock_guard lock(imagesMutex_);
  for (auto it = images_.begin(); it != images_.end();) {
    if (it->second->action != scope.serial) {
      ++it;
      continue;
    }
    RecordFailure(std::string(action) + ": an image was not released before the action returned");
    it = images_.erase(it);
  }
  return status;
}

Image* Host::State::Keep(std::unique_ptr<Image> image) {
  std::lock_guard lock(imagesMutex_);
  Image* kept = image.get();
  images_.emplace(kept->handle(), std::move(image));
  return kept;
}

bool Host::State::Release(OfxPropertySetHandle image) {
  std::lock_guard lock(imagesMutex_);
  return images_.erase(image) == 1;
}

std::size_t Host::State::ImagesHeld() {
  std::lock_guard lock(imagesMutex_);
  return images_.size();
}

void Host::State::PostMessage(std::string text) {
  std::lock_guard lock(messagesMutex_);
  messages_.push_back(std::move(text));
}

std::vector<std::string> Host::State::PostedMessages() {
  std::lock_guard lock(messagesMutex_);
  return messages_;
}

// ---- Host --------------------------------------------------------------------------------------------

std::string Host::BinaryPath(const std::string& bundle) {
  std::filesystem::path folder(bundle);
  if (!folder.has_filename()) folder = folder.parent_path();  // a trailing separator
  const std::string name = folder.filename().string();
  const std::string suffix = ".bundle";
  const std::string binary = name.size() > suffix.size() && name.ends_with(suffix) ? name.substr(0, name.size() - suffix.size()) : name;
#if defined(_WIN32)
  const char* arch = "Win64";
#else
  const char* arch = "Linux-x86-64";
#endif
  return (folder / "Contents" / arch / binary).string();
}

Host::Host(const std::string& bundle, HostOptions options) {
  if (gHost != nullptr) throw HostError("one simulated host at a time");
  state_ = std::make_unique<State>(std::move(options));
  gHost = state_.get();
  ClearFailures();
  try {
    State& s = *state_;
    s.binary = std::make_unique<Binary>(BinaryPath(bundle));
    auto* count = reinterpret_cast<OfxGetNumberOfPluginsFunction*>(s.binary->Symbol(kOfxGetNumberOfPluginsExport));
    auto* get = reinterpret_cast<OfxGetPluginFunction*>(s.binary->Symbol(kOfxGetPluginExport));
    if (count == nullptr || get == nullptr) throw HostError("'" + BinaryPath(bundle) + "' exports no OpenFX plug-ins");
    if (count() < 1 || (s.plugin = get(0)) == nullptr) throw HostError("the bundle holds no plug-in");
    if (s.plugin->pluginApi == nullptr || std::strcmp(s.plugin->pluginApi, kOfxImageEffectPluginApi) != 0 ||
        s.plugin->apiVersion != kOfxImageEffectPluginApiVersion) {
      throw HostError("the plug-in is not an image effect of API version 1");
    }
    if (s.plugin->pluginIdentifier == nullptr || s.plugin->mainEntry == nullptr || s.plugin->setHost == nullptr) {
      throw HostError("the plug-in has no identifier, entry point or setHost");
    }
    s.plugin->setHost(&s.ofxHost);
    if (const OfxStatus load = s.Call(kOfxActionLoad, nullptr, nullptr, nullptr); !Succeeded(load)) {
      throw HostError("the effect failed to load (" + StatusText(load) + ")");
    }
    s.descriptor = std::make_unique<Effect>(false, "");
    AddEffectDescriptorProperties(s.descriptor->props);
    s.descriptor->props.Put(kOfxPluginPropFilePath, {bundle});
    if (const OfxStatus d = s.Call(kOfxActionDescribe, s.descriptor->handle(), nullptr, nullptr); d != kOfxStatOK) {
      throw HostError("the effect failed to describe itself (" + StatusText(d) + ")");
    }
    const std::vector<Value> supported = s.descriptor->props.Values(kOfxImageEffectPropSupportedContexts);
    for (const char* context : kHostContexts) {
      if (!Contains(supported, context)) continue;
      auto effect = std::make_unique<Effect>(false, context);
      AddEffectDescriptorProperties(effect->props);
      CopyProperties(s.descriptor->props, effect->props);
      effect->clipsOpen = effect->params.open = true;
      Args in("the arguments of describing in a context");
      in.set.Add(kOfxImageEffectPropContext, {std::string(context)});
      const OfxStatus d = s.Call(kOfxImageEffectActionDescribeInContext, effect->handle(), &in.set, nullptr);
      if (d != kOfxStatOK) throw HostError(std::string("the effect failed to describe itself in ") + context + " (" + StatusText(d) + ")");
      effect->clipsOpen = effect->params.open = false;
      CheckDescription(*effect);
      s.contexts.push_back(std::move(effect));
    }
    Description& d = s.description;
    d.identifier = s.plugin->pluginIdentifier;
    d.versionMajor = s.plugin->pluginVersionMajor;
    d.versionMinor = s.plugin->pluginVersionMinor;
    d.effect = ofxhost::Describe("", s.descriptor->props);
    for (const auto& effect : s.contexts) {
      DescribedContext c{effect->context, {}, {}};
      for (const auto& clip : effect->clips) c.clips.push_back(ofxhost::Describe(clip->name, clip->props));
      for (const auto& param : effect->params.params) c.params.push_back(ofxhost::Describe(param->name, param->props));
      d.contexts.push_back(std::move(c));
    }
  } catch (const HostError& e) {
    gHost = nullptr;
    std::string why = e.what();
    for (const std::string& failure : RecordedFailures()) why += "; " + failure;
    throw HostError(why);
  } catch (...) {
    gHost = nullptr;
    throw;
  }
}

Host::~Host() {
  State& s = *state_;
  if (s.instances != 0) RecordFailure("the host was closed with instances alive");
  s.contexts.clear();
  s.descriptor.reset();
  if (s.plugin != nullptr) s.Call(kOfxActionUnload, nullptr, nullptr, nullptr);
  s.binary.reset();
  gHost = nullptr;
}

const Description& Host::Describe() const { return state_->description; }
std::vector<std::string> Host::Failures() const { return RecordedFailures(); }
std::vector<std::string> Host::Messages() const { return state_->PostedMessages(); }

Outstanding Host::Held() const {
  return {state_->ImagesHeld(), CountHandles(Kind::ImageMemory), CountHandles(Kind::Memory), CountHandles(Kind::Mutex),
          state_->instances};
}

// ---- Instances ------------------------------------------------------------------------------------

namespace {

const Effect& ContextDescriptor(const Host::State& s) {
  for (const auto& e : s.contexts) {
    if (e->context == s.options.context) return *e;
  }
  throw HostError("the effect does not describe itself in " + s.options.context);
}

// Runs the clip-preferences action and applies what the effect prefers.
void ApplyClipPreferences(InstanceState& instance) {
  Host::State& s = instance.host;
  Clip& source = *instance.effect->FindClip(kOfxImageEffectSimpleSourceClipName);
  Clip& output = *instance.effect->FindClip(kOfxImageEffectOutputClipName);
  Args out("the clip preferences");
  for (const Clip* clip : {&source, &output}) {
    const int channels = clip == &source ? instance.sourceChannels : instance.output.channels;
    out.set.Add((std::string("OfxImageClipPropComponents_") + clip->name).c_str(), {std::string(ComponentsName(channels))}, true);
    out.set.Add((std::string("OfxImageClipPropDepth_") + clip->name).c_str(), {std::string(DepthName(instance.source.depth))}, true);
    out.set.Add((std::string("OfxImageClipPropPAR_") + clip->name).c_str(), {1.0}, true);
  }
  out.set.Add(kOfxImageEffectPropFrameRate, {24.0}, true);
  out.set.Add(kOfxImageClipPropFieldOrder, {std::string(kOfxImageFieldNone)}, true);
  out.set.Add(kOfxImageEffectPropPreMultiplication, {std::string(StorageName(instance.source.storage))}, true);
  out.set.Add(kOfxImageClipPropContinuousSamples, {0}, true);
  out.set.Add(kOfxImageEffectFrameVarying, {0}, true);
  const OfxStatus status = s.Call(kOfxImageEffectActionGetClipPreferences, instance.effect->handle(), nullptr, &out.set);
  if (!Succeeded(status)) {
    RecordFailure("the clip preferences action failed (" + StatusText(status) + ")");
    return;
  }
  const auto channelsOf = [&](const Clip& clip, int current) {
    const std::string wanted = out.set.String(std::string("OfxImageClipPropComponents_") + clip.name);
    const int channels = wanted == kOfxImageComponentRGBA ? 4 : wanted == kOfxImageComponentRGB ? 3 : 0;
    if (channels == 0 || !Contains(clip.props.Values(kOfxImageEffectPropSupportedComponents), wanted)) {
      RecordFailure("clip preferences: " + clip.name + " as " + wanted + ", which it does not support");
      return current;
    }
    return channels;
  };
  instance.sourceChannels = channelsOf(source, instance.sourceChannels);
  instance.output.channels = channelsOf(output, instance.output.channels);
  for (const Clip* clip : {&source, &output}) {
    if (out.set.String(std::string("OfxImageClipPropDepth_") + clip->name) != DepthName(instance.source.depth)) {
      RecordFailure("clip preferences: a depth for " + clip->name + " other than the source's, without multiple clip depths");
    }
  }
  const std::string storage = out.set.String(kOfxImageEffectPropPreMultiplication);
  for (Storage st : {Storage::Opaque, Storage::PreMultiplied, Storage::UnPreMultiplied}) {
    if (storage == StorageName(st)) instance.output.storage = st;
  }
  source.props.Put(kOfxImageEffectPropComponents, {std::string(ComponentsName(instance.sourceChannels))});
  output.props.Put(kOfxImageEffectPropComponents, {std::string(ComponentsName(instance.output.channels))});
  output.props.Put(kOfxImageEffectPropPreMultiplication, {std::string(StorageName(instance.output.storage))});
}

}  // namespace

std::unique_ptr<Instance> Host::CreateInstance(const SourceFormat& format) {
  State& s = *state_;
  const Effect& descriptor = ContextDescriptor(s);
  if (!Contains(s.descriptor->props.Values(kOfxImageEffectPropSupportedPixelDepths), DepthName(format.depth))) {
    throw HostError(std::string("the effect does not take ") + DepthName(format.depth));
  }
  auto state = std::make_unique<InstanceState>(s, format);
  state->effect = std::make_unique<Effect>(true, descriptor.context);
  Effect& effect = *state->effect;
  effect.state = state.get();
  AddInstanceProperties(effect.props, descriptor.context, descriptor.props.Int(kOfxImageEffectPropSupportsTiles));
  for (const auto& p : descriptor.params.params) {
    auto param = std::make_unique<Param>(p->type, p->name, true);
    CopyProperties(p->props, param->props);
    if (p->type.values == ParamValues::String) {
      param->text = p->props.String(kOfxParamPropDefault);
    } else if (p->type.values != ParamValues::None) {
      for (const Value& v : p->props.Values(kOfxParamPropDefault)) {
        param->numbers.push_back(std::holds_alternative<int>(v) ? std::get<int>(v) : std::get<double>(v));
      }
    }
    effect.params.params.push_back(std::move(param));
  }
  for (const auto& c : descriptor.clips) {
    auto clip = std::make_unique<Clip>(c->name, effect);
    CopyProperties(c->props, clip->props);
    for (const char* depth : {kOfxImageEffectPropPixelDepth, kOfxImageClipPropUnmappedPixelDepth}) {
      clip->props.Put(depth, {std::string(DepthName(format.depth))});
    }
    for (const char* components : {kOfxImageEffectPropComponents, kOfxImageClipPropUnmappedComponents}) {
      clip->props.Put(components, {std::string(ComponentsName(format.channels))});
    }
    clip->props.Put(kOfxImageEffectPropPreMultiplication, {std::string(StorageName(format.storage))});
    if (clip->name == kOfxImageEffectSimpleSourceClipName) {
      clip->props.Put(kOfxImageClipPropConnected, {s.options.source == HostOptions::SourceClip::Disconnected ? 0 : 1});
    }
    effect.clips.push_back(std::move(clip));
  }
  if (effect.FindClip(kOfxImageEffectSimpleSourceClipName) == nullptr ||
      effect.FindClip(kOfxImageEffectOutputClipName) == nullptr) {
    throw HostError("the effect has no Source and Output clips");
  }
  if (const OfxStatus c = s.Call(kOfxActionCreateInstance, effect.handle(), nullptr, nullptr); !Succeeded(c)) {
    throw HostError("the effect failed to create an instance (" + StatusText(c) + ")");
  }
  ++s.instances;
  std::unique_ptr<Instance> instance(new Instance(std::move(state)));
  ApplyClipPreferences(*instance->state_);
  return instance;
}

Instance::Instance(std::unique_ptr<InstanceState> state) : state_(std::move(state)) {}

Instance::~Instance() {
  Host::State& s = state_->host;
  const OfxStatus status = s.Call(kOfxActionDestroyInstance, state_->effect->handle(), nullptr, nullptr);
  if (!Succeeded(status)) RecordFailure("the effect failed to destroy an instance (" + StatusText(status) + ")");
  --s.instances;
}

std::vector<double> Instance::Param(const std::string& name) const {
  const ofxhost::Param* p = state_->effect->params.Find(name);
  if (p == nullptr) throw HostError("the effect has no parameter " + name);
  std::lock_guard lock(p->mutex);
  return p->numbers;
}

bool Instance::ParamEnabled(const std::string& name) const {
  const ofxhost::Param* p = state_->effect->params.Find(name);
  if (p == nullptr) throw HostError("the effect has no parameter " + name);
  return p->props.Int(kOfxParamPropEnabled) != 0;
}

SourceFormat Instance::OutputFormat() const {
  std::shared_lock lock(state_->preferences);
  return state_->output;
}

void Instance::SetParam(const std::string& name, std::vector<double> values) {
  InstanceState& instance = *state_;
  Host::State& s = instance.host;
  ofxhost::Param* p = instance.effect->params.Find(name);
  if (p == nullptr) throw HostError("the effect has no parameter " + name);
  const std::string wrong = OutOfRange(*p, values);
  if (!wrong.empty()) {
    RecordFailure("setting " + name + ": " + wrong);
    return;
  }
  std::unique_lock lock(instance.preferences);
  {
    std::lock_guard value(p->mutex);
    p->numbers = std::move(values);
  }
  const auto changed = [&](const char* action, bool full) {
    Args in("the arguments of a change");
    in.set.Add(kOfxPropChangeReason, {std::string(kOfxChangeUserEdited)});
    if (full) {
      in.set.Add(kOfxPropType, {std::string(kOfxTypeParameter)});
      in.set.Add(kOfxPropName, {name});
      in.set.Add(kOfxPropTime, {0.0});
      AddScale(in.set);
    }
    const OfxStatus status = s.Call(action, instance.effect->handle(), &in.set, nullptr);
    if (!Succeeded(status)) RecordFailure(std::string(action) + " failed (" + StatusText(status) + ")");
  };
  changed(kOfxActionBeginInstanceChanged, false);
  changed(kOfxActionInstanceChanged, true);
  changed(kOfxActionEndInstanceChanged, false);
  const Effect& descriptor = ContextDescriptor(s);
  if (Contains(descriptor.props.Values(kOfxImageEffectPropClipPreferencesSlaveParam), name)) {
    ApplyClipPreferences(instance);
  }
}

RenderResult Instance::Render(const Frame& source, OfxTime time, std::optional<OfxRectI> window) {
  InstanceState& instance = *state_;
  Host::State& s = instance.host;
  if (source.depth != instance.source.depth || source.channels != instance.source.channels ||
      source.storage != instance.source.storage ||
      source.pixels.size() != source.RowBytes() * static_cast<std::size_t>(std::max(0, source.Height()))) {
    throw HostError("the frame does not fit the instance's source");
  }
  std::shared_lock preferences(instance.preferences);
  const std::string safety = s.descriptor->props.String(kOfxImageEffectPluginRenderThreadSafety);
  std::unique_lock<std::mutex> serial;
  if (safety == kOfxImageEffectRenderUnsafe) serial = std::unique_lock(s.unsafeRender);
  if (safety == kOfxImageEffectRenderInstanceSafe) serial = std::unique_lock(instance.renderMutex);

  const double scale = s.options.renderScale;
  RenderJob job;
  job.instance = &instance;
  job.source = &source;
  job.time = time;
  const void* effect = instance.effect->handle();
  const OfxRectD sourceRegion = ToCanonical(source.bounds, scale);
  {
    std::lock_guard lock(instance.regionMutex);
    instance.lastRegion = sourceRegion;
  }

  Args rodIn("the arguments of the region of definition"), rodOut("the region of definition");
  rodIn.set.Add(kOfxPropTime, {time});
  AddScale(rodIn.set);
  rodOut.set.Add(kOfxImageEffectPropRegionOfDefinition, Rect(sourceRegion), true);
  if (const OfxStatus st = s.Call(kOfxImageEffectActionGetRegionOfDefinition, effect, &rodIn.set, &rodOut.set, &job);
      !Succeeded(st)) {
    throw HostError("the region-of-definition action failed (" + StatusText(st) + ")");
  }
  job.output = ToPixels(RectD(rodOut.set.Values(kOfxImageEffectPropRegionOfDefinition)), scale);
  job.window = Intersect(window.value_or(job.output), job.output);

  Args roiIn("the arguments of the regions of interest"), roiOut("the regions of interest");
  const std::string roiName = std::string("OfxImageClipPropRoI_") + kOfxImageEffectSimpleSourceClipName;
  roiIn.set.Add(kOfxPropTime, {time});
  AddScale(roiIn.set);
  roiIn.set.Add(kOfxImageEffectPropRegionOfInterest, Rect(ToCanonical(job.window, scale)));
  roiOut.set.Add(roiName.c_str(), Rect(ToCanonical(job.window, scale)), true);
  if (const OfxStatus st = s.Call(kOfxImageEffectActionGetRegionsOfInterest, effect, &roiIn.set, &roiOut.set, &job);
      !Succeeded(st)) {
    throw HostError("the regions-of-interest action failed (" + StatusText(st) + ")");
  }
  job.roi = ToPixels(RectD(roiOut.set.Values(roiName)), scale);

  RenderResult result;
  result.output = Frame(source.depth, instance.output.channels, instance.output.storage, job.window);

  Args idIn("the arguments of the identity"), idOut("the identity");
  idIn.set.Add(kOfxPropTime, {time});
  idIn.set.Add(kOfxImageEffectPropFieldToRender, {std::string(kOfxImageFieldNone)});
  idIn.set.Add(kOfxImageEffectPropRenderWindow, Rect(job.window));
  AddScale(idIn.set);
  idOut.set.Add(kOfxPropName, {std::string()}, true);
  idOut.set.Add(kOfxPropTime, {time}, true);
  const OfxStatus identity = s.Call(kOfxImageEffectActionIsIdentity, effect, &idIn.set, &idOut.set, &job);
  if (identity == kOfxStatOK) {
    if (idOut.set.String(kOfxPropName) != kOfxImageEffectSimpleSourceClipName) {
      RecordFailure("identity: \"" + idOut.set.String(kOfxPropName) + "\" is not an input clip");
    }
    result.identity = true;
    const std::size_t sample = SampleBytes(source.depth);
    for (int y = job.window.y1; y < job.window.y2; ++y) {
      for (int x = job.window.x1; x < job.window.x2; ++x) {
        const bool inside = x >= source.bounds.x1 && x < source.bounds.x2 && y >= source.bounds.y1 && y < source.bounds.y2;
        if (!inside) continue;
        const int channels = std::min(source.channels, result.output.channels);
        std::memcpy(result.output.Pixel(x, y), source.Pixel(x, y), sample * static_cast<std::size_t>(channels));
      }
    }
    return result;
  }
  if (identity != kOfxStatReplyDefault) throw HostError("the identity action failed (" + StatusText(identity) + ")");

  Args seq("the arguments of a sequence");
  seq.set.Add(kOfxImageEffectPropFrameRange, {time, time});
  seq.set.Add(kOfxImageEffectPropFrameStep, {1.0});
  seq.set.Add(kOfxPropIsInteractive, {0});
  AddScale(seq.set);
  seq.set.Add(kOfxImageEffectPropSequentialRenderStatus, {0});
  seq.set.Add(kOfxImageEffectPropInteractiveRenderStatus, {0});
  if (const OfxStatus st = s.Call(kOfxImageEffectActionBeginSequenceRender, effect, &seq.set, nullptr, &job); !Succeeded(st)) {
    throw HostError("the begin-sequence action failed (" + StatusText(st) + ")");
  }
  job.outputBounds = s.options.wholeOutput ? job.output : job.window;
  Args in("the arguments of the render");
  in.set.Add(kOfxPropTime, {time});
  in.set.Add(kOfxImageEffectPropFieldToRender, {std::string(kOfxImageFieldNone)});
  in.set.Add(kOfxImageEffectPropRenderWindow, Rect(job.window));
  AddScale(in.set);
  in.set.Add(kOfxImageEffectPropSequentialRenderStatus, {0});
  in.set.Add(kOfxImageEffectPropInteractiveRenderStatus, {0});
  in.set.Add(kOfxImageEffectPropRenderQualityDraft, {0});
  job.rendering = true;
  const OfxStatus rendered = s.Call(kOfxImageEffectActionRender, effect, &in.set, nullptr, &job);
  job.rendering = false;
  const OfxStatus ended = s.Call(kOfxImageEffectActionEndSequenceRender, effect, &seq.set, nullptr, &job);
  if (rendered == kOfxStatReplyDefault) RecordFailure("the render action must be answered, not left to the host");
  if (rendered != kOfxStatOK) throw HostError("the render failed (" + StatusText(rendered) + ")");
  if (!Succeeded(ended)) throw HostError("the end-sequence action failed (" + StatusText(ended) + ")");
  if (job.outputBytes == nullptr) {
    if (!Empty(job.window)) RecordFailure("the render never fetched the output image");
    return result;
  }
  // Every byte of the output buffer outside the window's pixels must be as the host left it.
  const std::size_t pixelBytes = result.output.PixelBytes();
  const auto offset = [&](int x, int y) {
    return static_cast<std::ptrdiff_t>(job.outputOrigin) + (y - job.outputBounds.y1) * job.outputRowBytes +
           static_cast<std::ptrdiff_t>(x - job.outputBounds.x1) * static_cast<std::ptrdiff_t>(pixelBytes);
  };
  std::vector<bool> inWindow(job.outputBytes->size(), false);
  for (int y = job.window.y1; y < job.window.y2; ++y) {
    const std::ptrdiff_t start = offset(job.window.x1, y);
    std::fill_n(inWindow.begin() + start, pixelBytes * static_cast<std::size_t>(job.window.x2 - job.window.x1), true);
    std::memcpy(result.output.Pixel(job.window.x1, y), job.outputBytes->data() + start, result.output.RowBytes());
  }
  for (std::size_t i = 0; i < inWindow.size(); ++i) {
    if (!inWindow[i] && (*job.outputBytes)[i] != kUnwritten) {
      RecordFailure("the render wrote outside the render window");
      break;
    }
  }
  return result;
}

}  // namespace ofxhost
