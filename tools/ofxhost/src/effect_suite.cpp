// The image effect suite: an effect's properties and parameters, its clips and their images, and
// image memory. An image is made for each fetch: the source as the frame's pixels inside the region
// the effect asked for (no more, so that an effect that asks for too little sees too little), laid
// out as the host's options say; the output as one buffer per render, filled with a pattern so that
// the host can tell what the effect wrote.
#include <cstring>

#include "host_internal.h"

namespace ofxhost {

Clip::Clip(std::string n, Effect& e) : name(std::move(n)), effect(e), props("clip " + name) {
  const bool w = !effect.instance;
  props.Add(kOfxPropType, {std::string(kOfxTypeClip)});
  props.Add(kOfxPropName, {name});
  props.Add(kOfxPropLabel, {name}, w);
  props.Add(kOfxPropShortLabel, {name}, w);
  props.Add(kOfxPropLongLabel, {name}, w);
  props.Add(kOfxImageEffectPropSupportedComponents, {}, w, ValueType::String);
  props.Add(kOfxImageEffectPropTemporalClipAccess, {0}, w);
  props.Add(kOfxImageClipPropOptional, {0}, w);
  props.Add(kOfxImageClipPropFieldExtraction, {std::string(kOfxImageFieldDoubled)}, w);
  props.Add(kOfxImageClipPropIsMask, {0}, w);
  props.Add(kOfxImageEffectPropSupportsTiles, {1}, w);
  if (!effect.instance) return;
  props.Add(kOfxImageEffectPropPixelDepth, {std::string(kOfxBitDepthNone)});
  props.Add(kOfxImageEffectPropComponents, {std::string(kOfxImageComponentNone)});
  props.Add(kOfxImageClipPropUnmappedPixelDepth, {std::string(kOfxBitDepthNone)});
  props.Add(kOfxImageClipPropUnmappedComponents, {std::string(kOfxImageComponentNone)});
  props.Add(kOfxImageEffectPropPreMultiplication, {std::string(kOfxImageOpaque)});
  props.Add(kOfxImagePropPixelAspectRatio, {1.0});
  props.Add(kOfxImageEffectPropFrameRate, {24.0});
  props.Add(kOfxImageEffectPropFrameRange, {0.0, 0.0});
  props.Add(kOfxImageClipPropFieldOrder, {std::string(kOfxImageFieldNone)});
  props.Add(kOfxImageClipPropConnected, {1});
  props.Add(kOfxImageClipPropContinuousSamples, {0});
}

Clip* Effect::FindClip(const std::string& clipName) const {
  for (const auto& c : clips) {
    if (c->name == clipName) return c.get();
  }
  return nullptr;
}

namespace {

Effect* EffectOf(OfxImageEffectHandle h, const char* call) {
  return Valid(h, Kind::Effect, call) ? Effect::From(h) : nullptr;
}

Clip* ClipOf(OfxImageClipHandle h, const char* call) { return Valid(h, Kind::Clip, call) ? Clip::From(h) : nullptr; }

// Where the pixels of an image lie in its buffer: rows of `stride` bytes (pixels and padding),
// bottom-up or, for a top-down host, top-down.
struct Layout {
  OfxRectI bounds;
  std::size_t pixelBytes;
  std::size_t stride;
  bool topDown;

  std::size_t Offset(int x, int y) const {
    const std::size_t row = static_cast<std::size_t>(topDown ? bounds.y2 - 1 - y : y - bounds.y1);
    return row * stride + static_cast<std::size_t>(x - bounds.x1) * pixelBytes;
  }
  std::size_t Bytes() const { return stride * static_cast<std::size_t>(std::max(0, bounds.y2 - bounds.y1)); }
  std::ptrdiff_t RowBytes() const { return topDown ? -static_cast<std::ptrdiff_t>(stride) : static_cast<std::ptrdiff_t>(stride); }
};

Layout LayoutOf(const OfxRectI& bounds, std::size_t pixelBytes) {
  const HostOptions& o = CurrentHost().options;
  const std::size_t width = static_cast<std::size_t>(std::max(0, bounds.x2 - bounds.x1));
  return {bounds, pixelBytes, width * pixelBytes + static_cast<std::size_t>(o.rowPadding), o.topDown};
}

std::unique_ptr<Image> MakeImage(const SourceFormat& format, int channels, const Layout& layout,
                                 std::shared_ptr<std::vector<unsigned char>> bytes, const OfxRectI& region) {
  auto image = std::make_unique<Image>();
  const double scale = CurrentHost().options.renderScale;
  const bool empty = layout.bounds.x2 <= layout.bounds.x1 || layout.bounds.y2 <= layout.bounds.y1;
  void* data = empty ? nullptr : bytes->data() + layout.Offset(layout.bounds.x1, layout.bounds.y1);
  PropertySet& p = image->props;
  p.Add(kOfxPropType, {std::string(kOfxTypeImage)});
  p.Add(kOfxImageEffectPropPixelDepth, {std::string(DepthName(format.depth))});
  p.Add(kOfxImageEffectPropComponents, {std::string(ComponentsName(channels))});
  p.Add(kOfxImageEffectPropPreMultiplication, {std::string(StorageName(format.storage))});
  p.Add(kOfxImageEffectPropRenderScale, {scale, scale});
  p.Add(kOfxImagePropPixelAspectRatio, {1.0});
  p.Add(kOfxImagePropData, {data});
  p.Add(kOfxImagePropBounds, {layout.bounds.x1, layout.bounds.y1, layout.bounds.x2, layout.bounds.y2});
  p.Add(kOfxImagePropRegionOfDefinition, {region.x1, region.y1, region.x2, region.y2});
  p.Add(kOfxImagePropRowBytes, {static_cast<int>(layout.RowBytes())});
  p.Add(kOfxImagePropField, {std::string(kOfxImageFieldNone)});
  p.Add(kOfxImagePropUniqueIdentifier, {std::to_string(reinterpret_cast<std::uintptr_t>(image.get()))});
  image->bytes = std::move(bytes);
  const ActionScope& action = CurrentAction();
  image->action = action.serial;
  image->actionName = action.action;
  return image;
}

// The source's pixels inside `bounds`, with the channels the effect prefers (a missing alpha is
// full, a dropped one is gone).
OfxPropertySetHandle SourceImage(RenderJob& job, const OfxRectI& bounds) {
  const InstanceState& instance = *job.instance;
  const Frame& frame = *job.source;
  const int channels = instance.sourceChannels;
  const std::size_t sample = SampleBytes(frame.depth);
  const Layout layout = LayoutOf(bounds, sample * static_cast<std::size_t>(channels));
  auto bytes = std::make_shared<std::vector<unsigned char>>(layout.Bytes(), kUnwritten);
  const float fullFloat = 1.0f;
  const std::uint16_t fullShort = 65535;
  const unsigned char fullByte = 255;
  const void* full = frame.depth == BitDepth::Float ? static_cast<const void*>(&fullFloat)
                     : frame.depth == BitDepth::Short ? static_cast<const void*>(&fullShort)
                                                      : static_cast<const void*>(&fullByte);
  for (int y = bounds.y1; y < bounds.y2; ++y) {
    for (int x = bounds.x1; x < bounds.x2; ++x) {
      unsigned char* to = bytes->data() + layout.Offset(x, y);
      const unsigned char* from = frame.Pixel(x, y);
      for (int c = 0; c < channels; ++c) {
        std::memcpy(to + c * sample, c < frame.channels ? from + c * sample : full, sample);
      }
    }
  }
  SourceFormat format = instance.source;
  return CurrentHost().Keep(MakeImage(format, channels, layout, std::move(bytes), frame.bounds))->handle();
}

OfxPropertySetHandle OutputImage(RenderJob& job) {
  const InstanceState& instance = *job.instance;
  const std::size_t pixelBytes = SampleBytes(instance.output.depth) * static_cast<std::size_t>(instance.output.channels);
  const Layout layout = LayoutOf(job.outputBounds, pixelBytes);
  if (job.outputBytes == nullptr) {
    job.outputBytes = std::make_shared<std::vector<unsigned char>>(layout.Bytes(), kUnwritten);
    job.outputRowBytes = layout.RowBytes();
    job.outputOrigin = layout.Offset(job.outputBounds.x1, job.outputBounds.y1);
  }
  return CurrentHost().Keep(MakeImage(instance.output, instance.output.channels, layout, job.outputBytes, job.output))->handle();
}

OfxStatus GetImage(OfxImageClipHandle h, OfxTime time, const OfxRectD* region, OfxPropertySetHandle* image) {
  Clip* clip = ClipOf(h, "clipGetImage");
  if (clip == nullptr || image == nullptr) return kOfxStatErrBadHandle;
  *image = nullptr;
  auto* job = static_cast<RenderJob*>(CurrentAction().render);
  if (!clip->effect.instance) return Refuse(kOfxStatErrBadHandle, "clipGetImage(" + clip->name + "): a descriptor's clip");
  // This host makes frames only for renders.
  if (job == nullptr || job->instance != clip->effect.state) return kOfxStatFailed;
  if (time != job->time && clip->props.Int(kOfxImageEffectPropTemporalClipAccess) == 0) {
    return Refuse(kOfxStatFailed, "clipGetImage(" + clip->name + "): time " + std::to_string(time) +
                                      " of a clip without temporal access, rendering time " + std::to_string(job->time));
  }
  if (clip->name == kOfxImageEffectOutputClipName) {
    if (!job->rendering) return Refuse(kOfxStatFailed, "clipGetImage(Output) outside the render action");
    *image = OutputImage(*job);
    return kOfxStatOK;
  }
  if (clip->name != kOfxImageEffectSimpleSourceClipName) return kOfxStatFailed;
  if (CurrentHost().options.source != HostOptions::SourceClip::Connected) return kOfxStatFailed;
  const double scale = CurrentHost().options.renderScale;
  const OfxRectI wanted = region != nullptr ? ToPixels(*region, scale) : job->roi.value_or(job->window);
  *image = SourceImage(*job, Intersect(wanted, job->source->bounds));
  return kOfxStatOK;
}

OfxRectD LastRegion(InstanceState& instance) {
  std::lock_guard lock(instance.regionMutex);
  return instance.lastRegion;
}

OfxStatus RegionOfDefinition(OfxImageClipHandle h, OfxTime, OfxRectD* bounds) {
  Clip* clip = ClipOf(h, "clipGetRegionOfDefinition");
  if (clip == nullptr || bounds == nullptr) return kOfxStatErrBadHandle;
  if (!clip->effect.instance) {
    return Refuse(kOfxStatErrBadHandle, "clipGetRegionOfDefinition(" + clip->name + "): a descriptor's clip");
  }
  // A filter's output covers its source unless the effect says otherwise; this host asks the
  // effect only when it renders.
  const auto* job = static_cast<const RenderJob*>(CurrentAction().render);
  *bounds = job != nullptr && job->instance == clip->effect.state
                ? ToCanonical(job->source->bounds, CurrentHost().options.renderScale)
                : LastRegion(*clip->effect.state);
  return kOfxStatOK;
}

ImageMemory* MemoryOf(OfxImageMemoryHandle h, const char* call) {
  return Valid(h, Kind::ImageMemory, call) ? ImageMemory::From(h) : nullptr;
}

const OfxImageEffectSuiteV1 kSuite = {
    [](OfxImageEffectHandle h, OfxPropertySetHandle* props) {
      Effect* e = EffectOf(h, "getPropertySet");
      if (e == nullptr || props == nullptr) return kOfxStatErrBadHandle;
      *props = e->props.handle();
      return kOfxStatOK;
    },
    [](OfxImageEffectHandle h, OfxParamSetHandle* set) {
      Effect* e = EffectOf(h, "getParamSet");
      if (e == nullptr || set == nullptr) return kOfxStatErrBadHandle;
      *set = e->params.handle();
      return kOfxStatOK;
    },
    [](OfxImageEffectHandle h, const char* name, OfxPropertySetHandle* props) {
      Effect* e = EffectOf(h, "clipDefine");
      if (e == nullptr) return kOfxStatErrBadHandle;
      const std::string what = std::string("clipDefine(") + (name ? name : "null") + ")";
      if (!e->clipsOpen) return Refuse(kOfxStatErrUnsupported, what + ": clips are defined while describing in a context");
      if (name == nullptr || name[0] == '\0') return Refuse(kOfxStatErrValue, what + ": a clip needs a name");
      if (e->FindClip(name) != nullptr) return Refuse(kOfxStatErrExists, what + ": defined twice");
      e->clips.push_back(std::make_unique<Clip>(name, *e));
      if (props != nullptr) *props = e->clips.back()->props.handle();
      return kOfxStatOK;
    },
    [](OfxImageEffectHandle h, const char* name, OfxImageClipHandle* clip, OfxPropertySetHandle* props) {
      Effect* e = EffectOf(h, "clipGetHandle");
      if (e == nullptr) return kOfxStatErrBadHandle;
      if (!e->instance) return Refuse(kOfxStatErrBadHandle, "clipGetHandle: a descriptor has no clip instances");
      Clip* c = name != nullptr ? e->FindClip(name) : nullptr;
      if (c == nullptr) return Refuse(kOfxStatErrUnknown, std::string("clipGetHandle: no clip ") + (name ? name : "null"));
      if (clip != nullptr) *clip = c->handle();
      if (props != nullptr) *props = c->props.handle();
      return kOfxStatOK;
    },
    [](OfxImageClipHandle h, OfxPropertySetHandle* props) {
      Clip* c = ClipOf(h, "clipGetPropertySet");
      if (c == nullptr || props == nullptr) return kOfxStatErrBadHandle;
      *props = c->props.handle();
      return kOfxStatOK;
    },
    GetImage,
    [](OfxPropertySetHandle image) {
      return CurrentHost().Release(image) ? kOfxStatOK
                                          : Refuse(kOfxStatErrBadHandle, "clipReleaseImage: not a live image handle");
    },
    RegionOfDefinition,
    [](OfxImageEffectHandle h) {
      EffectOf(h, "abort");
      return 0;  // nobody here ever stops a render
    },
    [](OfxImageEffectHandle h, size_t bytes, OfxImageMemoryHandle* memory) {
      if (h != nullptr && EffectOf(h, "imageMemoryAlloc") == nullptr) return kOfxStatErrBadHandle;
      if (memory == nullptr) return Refuse(kOfxStatErrBadHandle, "imageMemoryAlloc: a null place for the handle");
      *memory = nullptr;
      if (CurrentHost().options.noImageMemory) return kOfxStatErrMemory;
      try {
        auto block = std::make_unique<ImageMemory>();
        block->bytes.resize(bytes);
        *memory = block.release()->handle();
        return kOfxStatOK;
      } catch (const std::bad_alloc&) {
        *memory = nullptr;
        return kOfxStatErrMemory;
      }
    },
    [](OfxImageMemoryHandle h) {
      ImageMemory* m = MemoryOf(h, "imageMemoryFree");
      if (m == nullptr) return kOfxStatErrBadHandle;
      delete m;
      return kOfxStatOK;
    },
    [](OfxImageMemoryHandle h, void** data) {
      ImageMemory* m = MemoryOf(h, "imageMemoryLock");
      if (m == nullptr || data == nullptr) return kOfxStatErrBadHandle;
      ++m->locks;
      *data = m->bytes.data();
      return kOfxStatOK;
    },
    [](OfxImageMemoryHandle h) {
      ImageMemory* m = MemoryOf(h, "imageMemoryUnlock");
      if (m == nullptr) return kOfxStatErrBadHandle;
      if (m->locks == 0) return Refuse(kOfxStatErrValue, "imageMemoryUnlock: the memory is not locked");
      --m->locks;
      return kOfxStatOK;
    },
};

}  // namespace

const OfxImageEffectSuiteV1* ImageEffectSuite() { return &kSuite; }

}  // namespace ofxhost
