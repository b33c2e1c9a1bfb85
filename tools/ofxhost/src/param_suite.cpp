// Parameters: their types, the properties each type has, and the parameter suite. Values pass
// through C variadic arguments as the API says: ints (never bools) and doubles (never floats), and
// pointers to them when read.
#include <cfloat>
#include <climits>
#include <cstdarg>

#include "host_internal.h"

namespace ofxhost {
namespace {

constexpr ParamType kTypes[] = {
    {kOfxParamTypeInteger, ParamValues::Int, 1, true, false},
    {kOfxParamTypeInteger2D, ParamValues::Int, 2, true, false},
    {kOfxParamTypeInteger3D, ParamValues::Int, 3, true, false},
    {kOfxParamTypeDouble, ParamValues::Double, 1, true, false},
    {kOfxParamTypeDouble2D, ParamValues::Double, 2, true, false},
    {kOfxParamTypeDouble3D, ParamValues::Double, 3, true, false},
    {kOfxParamTypeRGB, ParamValues::Double, 3, false, false},
    {kOfxParamTypeRGBA, ParamValues::Double, 4, false, false},
    {kOfxParamTypeBoolean, ParamValues::Int, 1, false, true},
    {kOfxParamTypeString, ParamValues::String, 1, false, false},
    {kOfxParamTypeCustom, ParamValues::String, 1, false, false},
    {kOfxParamTypeGroup, ParamValues::None, 0, false, false},
    {kOfxParamTypePage, ParamValues::None, 0, false, false},
    {kOfxParamTypePushButton, ParamValues::None, 0, false, false},
};

std::vector<Value> Repeat(const ParamType& type, double number) {
  std::vector<Value> values;
  for (int i = 0; i < type.dimension; ++i) {
    if (type.values == ParamValues::Int) values.emplace_back(static_cast<int>(number));
    else values.emplace_back(number);
  }
  return values;
}

}  // namespace

const ParamType* FindParamType(const std::string& name) {
  for (const ParamType& type : kTypes) {
    if (name == type.name) return &type;
  }
  return nullptr;
}

// A descriptor's properties are the effect's to write, but for what names it; an instance's
// only those a user interface may change.
Param::Param(const ParamType& t, std::string n, bool isInstance)
    : type(t), name(std::move(n)), instance(isInstance), props((isInstance ? "parameter " : "parameter descriptor ") + name) {
  const bool w = !instance;
  props.Add(kOfxPropType, {std::string(instance ? kOfxTypeParameterInstance : kOfxTypeParameter)});
  props.Add(kOfxPropName, {name});
  props.Add(kOfxParamPropType, {std::string(type.name)});
  props.Add(kOfxPropLabel, {name}, true);
  props.Add(kOfxPropShortLabel, {name}, w);
  props.Add(kOfxPropLongLabel, {name}, w);
  props.Add(kOfxParamPropScriptName, {name}, w);
  props.Add(kOfxParamPropHint, {std::string()}, true);
  props.Add(kOfxParamPropParent, {std::string()}, w);
  props.Add(kOfxParamPropEnabled, {1}, true);
  props.Add(kOfxParamPropSecret, {0}, true);
  props.Add(kOfxParamPropCanUndo, {1}, w);
  const ValueType valueType = type.values == ParamValues::Int ? ValueType::Int : ValueType::Double;
  if (type.values == ParamValues::String) {
    props.Add(kOfxParamPropDefault, {std::string()}, w, ValueType::String);
  } else if (type.values != ParamValues::None) {
    props.Add(kOfxParamPropDefault, Repeat(type, 0), w, valueType);
  }
  if (type.values != ParamValues::None) {
    props.Add(kOfxParamPropAnimates, {1}, w);
    props.Add(kOfxParamPropPersistant, {1}, w);
    props.Add(kOfxParamPropEvaluateOnChange, {1}, w);
  }
  if (type.numeric) {
    const double low = type.values == ParamValues::Int ? INT_MIN : -DBL_MAX;
    const double high = type.values == ParamValues::Int ? INT_MAX : DBL_MAX;
    props.Add(kOfxParamPropMin, Repeat(type, low), w, valueType);
    props.Add(kOfxParamPropMax, Repeat(type, high), w, valueType);
    props.Add(kOfxParamPropDisplayMin, Repeat(type, low), w, valueType);
    props.Add(kOfxParamPropDisplayMax, Repeat(type, high), w, valueType);
  }
  if (type.numeric && type.values == ParamValues::Double) {
    props.Add(kOfxParamPropIncrement, {1.0}, w);
    props.Add(kOfxParamPropDigits, {2}, w);
    props.Add(kOfxParamPropDoubleType, {std::string(kOfxParamDoubleTypePlain)}, w);
  }
  if (type.name == std::string(kOfxParamTypeGroup)) props.Add(kOfxParamPropGroupOpen, {1}, w);
  if (type.name == std::string(kOfxParamTypePage)) props.Add(kOfxParamPropPageChild, {}, w, ValueType::String);
}

ParamSet::ParamSet(bool isInstance) : instance(isInstance), props("a parameter set") {
  props.Add(kOfxPluginPropParamPageOrder, {}, !instance, ValueType::String);
}

Param* ParamSet::Find(const std::string& name) const {
  for (const auto& p : params) {
    if (p->name == name) return p.get();
  }
  return nullptr;
}

std::string OutOfRange(const Param& param, const std::vector<double>& values) {
  const ParamType& type = param.type;
  if (values.size() != static_cast<std::size_t>(type.dimension)) {
    return std::to_string(values.size()) + " values for a parameter of " + std::to_string(type.dimension);
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    const double v = values[i];
    if (type.flag && v != 0 && v != 1) return std::to_string(v) + " for a flag, which is 0 or 1";
    if (type.values == ParamValues::Int && v != static_cast<double>(static_cast<long long>(v))) {
      return std::to_string(v) + " for an integer";
    }
    if (!type.numeric) continue;
    const auto [min, max] = type.values == ParamValues::Int
                                ? std::pair<double, double>{param.props.Int(kOfxParamPropMin, i), param.props.Int(kOfxParamPropMax, i)}
                                : std::pair<double, double>{param.props.Double(kOfxParamPropMin, i),
                                                            param.props.Double(kOfxParamPropMax, i)};
    if (!(v >= min && v <= max)) {
      return std::to_string(v) + " outside " + std::to_string(min) + " to " + std::to_string(max);
    }
  }
  return "";
}

namespace {

ParamSet* SetOf(OfxParamSetHandle h, const char* call) {
  return Valid(h, Kind::ParamSet, call) ? ParamSet::From(h) : nullptr;
}

Param* ParamOf(OfxParamHandle h, const char* call) {
  return Valid(h, Kind::Param, call) ? Param::From(h) : nullptr;
}

// The instance's parameter whose value is read or written; null after recording why not.
Param* Valued(OfxParamHandle h, const char* call) {
  Param* p = ParamOf(h, call);
  if (p == nullptr) return nullptr;
  if (!p->instance) {
    RecordFailure(std::string(call) + "(" + p->name + "): a descriptor has no value, only an instance");
    return nullptr;
  }
  if (p->type.values == ParamValues::None) {
    RecordFailure(std::string(call) + "(" + p->name + "): a " + p->type.name + " has no value");
    return nullptr;
  }
  return p;
}

OfxStatus ReadValue(Param& p, std::va_list args, double scale = 1) {
  std::lock_guard lock(p.mutex);
  if (p.type.values == ParamValues::String) {
    *va_arg(args, const char**) = p.text.c_str();
    return kOfxStatOK;
  }
  for (double v : p.numbers) {
    if (p.type.values == ParamValues::Int) *va_arg(args, int*) = static_cast<int>(v * scale);
    else *va_arg(args, double*) = v * scale;
  }
  return kOfxStatOK;
}

OfxStatus WriteValue(const char* call, Param& p, std::va_list args) {
  if (p.type.values == ParamValues::String) {
    const char* text = va_arg(args, const char*);
    std::lock_guard lock(p.mutex);
    p.text = text != nullptr ? text : "";
    return kOfxStatOK;
  }
  std::vector<double> values;
  for (int i = 0; i < p.type.dimension; ++i) {
    values.push_back(p.type.values == ParamValues::Int ? va_arg(args, int) : va_arg(args, double));
  }
  const std::string wrong = OutOfRange(p, values);
  if (!wrong.empty()) return Refuse(kOfxStatErrValue, std::string(call) + "(" + p.name + "): " + wrong);
  std::lock_guard lock(p.mutex);
  p.numbers = std::move(values);
  return kOfxStatOK;
}

OfxStatus Define(OfxParamSetHandle h, const char* type, const char* name, OfxPropertySetHandle* props) {
  ParamSet* set = SetOf(h, "paramDefine");
  if (set == nullptr) return kOfxStatErrBadHandle;
  const std::string what = std::string("paramDefine(") + (name ? name : "null") + ")";
  if (!set->open) return Refuse(kOfxStatErrUnsupported, what + ": parameters are defined while describing in a context");
  const ParamType* t = type != nullptr ? FindParamType(type) : nullptr;
  if (t == nullptr) return Refuse(kOfxStatErrUnknown, what + ": the host has no parameter type " + (type ? type : "null"));
  if (name == nullptr || name[0] == '\0') return Refuse(kOfxStatErrValue, what + ": a parameter needs a name");
  if (set->Find(name) != nullptr) return Refuse(kOfxStatErrExists, what + ": defined twice");
  set->params.push_back(std::make_unique<Param>(*t, name, false));
  if (props != nullptr) *props = set->params.back()->props.handle();
  return kOfxStatOK;
}

OfxStatus GetHandle(OfxParamSetHandle h, const char* name, OfxParamHandle* param, OfxPropertySetHandle* props) {
  ParamSet* set = SetOf(h, "paramGetHandle");
  if (set == nullptr) return kOfxStatErrBadHandle;
  Param* p = name != nullptr ? set->Find(name) : nullptr;
  if (p == nullptr) return Refuse(kOfxStatErrUnknown, std::string("paramGetHandle: no parameter ") + (name ? name : "null"));
  if (param != nullptr) *param = p->handle();
  if (props != nullptr) *props = p->props.handle();
  return kOfxStatOK;
}

OfxStatus GetValue(OfxParamHandle h, ...) {
  Param* p = Valued(h, "paramGetValue");
  if (p == nullptr) return kOfxStatErrBadHandle;
  std::va_list args;
  va_start(args, h);
  const OfxStatus s = ReadValue(*p, args);
  va_end(args);
  return s;
}

// No parameter of this host animates: its value at any time is the value.
OfxStatus GetValueAtTime(OfxParamHandle h, OfxTime time, ...) {
  Param* p = Valued(h, "paramGetValueAtTime");
  if (p == nullptr) return kOfxStatErrBadHandle;
  std::va_list args;
  va_start(args, time);
  const OfxStatus s = ReadValue(*p, args);
  va_end(args);
  return s;
}

OfxStatus GetDerivative(OfxParamHandle h, OfxTime time, ...) {
  Param* p = Valued(h, "paramGetDerivative");
  if (p == nullptr) return kOfxStatErrBadHandle;
  std::va_list args;
  va_start(args, time);
  const OfxStatus s = ReadValue(*p, args, 0);
  va_end(args);
  return s;
}

OfxStatus GetIntegral(OfxParamHandle h, OfxTime time1, OfxTime time2, ...) {
  Param* p = Valued(h, "paramGetIntegral");
  if (p == nullptr) return kOfxStatErrBadHandle;
  std::va_list args;
  va_start(args, time2);
  const OfxStatus s = ReadValue(*p, args, time2 - time1);
  va_end(args);
  return s;
}

OfxStatus SetValue(OfxParamHandle h, ...) {
  Param* p = Valued(h, "paramSetValue");
  if (p == nullptr) return kOfxStatErrBadHandle;
  std::va_list args;
  va_start(args, h);
  const OfxStatus s = WriteValue("paramSetValue", *p, args);
  va_end(args);
  return s;
}

OfxStatus SetValueAtTime(OfxParamHandle h, OfxTime time, ...) {
  Param* p = Valued(h, "paramSetValueAtTime");
  if (p == nullptr) return kOfxStatErrBadHandle;
  std::va_list args;
  va_start(args, time);
  const OfxStatus s = WriteValue("paramSetValueAtTime", *p, args);
  va_end(args);
  return s;
}

const OfxParameterSuiteV1 kSuite = {
    Define,
    GetHandle,
    [](OfxParamSetHandle h, OfxPropertySetHandle* props) {
      ParamSet* set = SetOf(h, "paramSetGetPropertySet");
      if (set == nullptr || props == nullptr) return kOfxStatErrBadHandle;
      *props = set->props.handle();
      return kOfxStatOK;
    },
    [](OfxParamHandle h, OfxPropertySetHandle* props) {
      Param* p = ParamOf(h, "paramGetPropertySet");
      if (p == nullptr || props == nullptr) return kOfxStatErrBadHandle;
      *props = p->props.handle();
      return kOfxStatOK;
    },
    GetValue,
    GetValueAtTime,
    GetDerivative,
    GetIntegral,
    SetValue,
    SetValueAtTime,
    [](OfxParamHandle h, unsigned int* count) {
      if (Valued(h, "paramGetNumKeys") == nullptr || count == nullptr) return kOfxStatErrBadHandle;
      *count = 0;
      return kOfxStatOK;
    },
    [](OfxParamHandle h, unsigned int, OfxTime*) {
      return Valued(h, "paramGetKeyTime") == nullptr ? kOfxStatErrBadHandle : kOfxStatErrBadIndex;
    },
    [](OfxParamHandle h, OfxTime, int, int*) {
      return Valued(h, "paramGetKeyIndex") == nullptr ? kOfxStatErrBadHandle : kOfxStatFailed;
    },
    [](OfxParamHandle h, OfxTime) {
      return Valued(h, "paramDeleteKey") == nullptr ? kOfxStatErrBadHandle : kOfxStatErrBadIndex;
    },
    [](OfxParamHandle h) { return Valued(h, "paramDeleteAllKeys") == nullptr ? kOfxStatErrBadHandle : kOfxStatOK; },
    [](OfxParamHandle to, OfxParamHandle from, OfxTime, const OfxRangeD*) {
      Param* a = Valued(to, "paramCopy");
      Param* b = Valued(from, "paramCopy");
      if (a == nullptr || b == nullptr) return kOfxStatErrBadHandle;
      if (a == b) return kOfxStatOK;
      if (&a->type != &b->type) return Refuse(kOfxStatErrValue, "paramCopy: " + b->name + " and " + a->name + " differ in type");
      std::scoped_lock lock(a->mutex, b->mutex);
      a->numbers = b->numbers;
      a->text = b->text;
      return kOfxStatOK;
    },
    [](OfxParamSetHandle h, const char*) { return SetOf(h, "paramEditBegin") == nullptr ? kOfxStatErrBadHandle : kOfxStatOK; },
    [](OfxParamSetHandle h) { return SetOf(h, "paramEditEnd") == nullptr ? kOfxStatErrBadHandle : kOfxStatOK; },
};

}  // namespace

const OfxParameterSuiteV1* ParameterSuite() { return &kSuite; }

}  // namespace ofxhost
