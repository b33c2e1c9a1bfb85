#pragma once
// The objects behind the handles the host gives an effect: effects (descriptors and instances),
// clips, parameter sets and parameters, images and image memory. A handle is the object's address;
// every one is registered while it lives (host_state.h).

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host_state.h"
#include "ofx_image_effect.h"
#include "ofx_param.h"
#include "property_set.h"

namespace ofxhost {

class InstanceState;

// What a parameter type holds: how many values of which kind (None for groups, pages, buttons).
enum class ParamValues { None, Int, Double, String };
struct ParamType {
  const char* name;
  ParamValues values;
  int dimension;
  bool numeric;  // has a range (min, max, display min and max)
  bool flag;     // each value 0 or 1
};
// The types this host offers; null for any other.
const ParamType* FindParamType(const std::string& name);

template <class Object, Kind K>
struct Registered {
  Registered() { AddHandle(this, K); }
  ~Registered() { RemoveHandle(this); }
  Registered(const Registered&) = delete;
  Registered& operator=(const Registered&) = delete;
};

struct Param : Registered<Param, Kind::Param> {
  Param(const ParamType& type, std::string name, bool instance);
  OfxParamHandle handle() { return reinterpret_cast<OfxParamHandle>(this); }
  static Param* From(OfxParamHandle h) { return reinterpret_cast<Param*>(h); }

  const ParamType& type;
  const std::string name;
  const bool instance;
  PropertySet props;
  mutable std::mutex mutex;
  std::vector<double> numbers;  // an instance's value: ints and flags as whole numbers
  std::string text;
};

struct ParamSet : Registered<ParamSet, Kind::ParamSet> {
  explicit ParamSet(bool instance);
  OfxParamSetHandle handle() { return reinterpret_cast<OfxParamSetHandle>(this); }
  static ParamSet* From(OfxParamSetHandle h) { return reinterpret_cast<ParamSet*>(h); }
  Param* Find(const std::string& name) const;

  const bool instance;
  PropertySet props;
  std::vector<std::unique_ptr<Param>> params;  // in the order defined
  bool open = false;  // parameters may be defined (describing in a context)
};

struct Effect;

struct Clip : Registered<Clip, Kind::Clip> {
  // A descriptor's clip has the properties the effect describes it with; an instance's also those
  // of what it is connected to, all for the effect only to read.
  Clip(std::string name, Effect& effect);
  OfxImageClipHandle handle() { return reinterpret_cast<OfxImageClipHandle>(this); }
  static Clip* From(OfxImageClipHandle h) { return reinterpret_cast<Clip*>(h); }

  const std::string name;
  Effect& effect;
  PropertySet props;
};

struct Effect : Registered<Effect, Kind::Effect> {
  Effect(bool instance, std::string context);
  OfxImageEffectHandle handle() { return reinterpret_cast<OfxImageEffectHandle>(this); }
  static Effect* From(OfxImageEffectHandle h) { return reinterpret_cast<Effect*>(h); }
  Clip* FindClip(const std::string& name) const;

  const bool instance;
  const std::string context;  // empty for the effect's own descriptor
  PropertySet props;
  ParamSet params;
  std::vector<std::unique_ptr<Clip>> clips;
  bool clipsOpen = false;          // clips may be defined (describing in a context)
  InstanceState* state = nullptr;  // an instance's
};

// An image's handle is its property set; the host keeps its images by that handle (host.cpp).
struct Image {
  Image() : props("an image") {}
  OfxPropertySetHandle handle() { return props.handle(); }

  PropertySet props;
  std::shared_ptr<std::vector<unsigned char>> bytes;  // shared by every fetch of one render's output
  std::uint64_t action = 0;  // the action it was fetched in, which must release it
  const char* actionName = "";
};

struct ImageMemory : Registered<ImageMemory, Kind::ImageMemory> {
  OfxImageMemoryHandle handle() { return reinterpret_cast<OfxImageMemoryHandle>(this); }
  static ImageMemory* From(OfxImageMemoryHandle h) { return reinterpret_cast<ImageMemory*>(h); }

  std::vector<unsigned char> bytes;
  int locks = 0;
};

}  // namespace ofxhost
