#include "property_set.h"

#include <stdexcept>

#include "host_state.h"

namespace ofxhost {
namespace {

ValueType TypeOf(const Value& value) {
  switch (value.index()) {
    case 0: return ValueType::Int;
    case 1: return ValueType::Double;
    case 2: return ValueType::String;
    default: return ValueType::Pointer;
  }
}

std::string Where(const char* call, const std::string& name, const std::string& what) {
  return std::string(call) + "(" + name + ") on " + what;
}

}  // namespace

PropertySet::PropertySet(std::string what) : what_(std::move(what)) { AddHandle(this, Kind::PropertySet); }

PropertySet::~PropertySet() { RemoveHandle(this); }

void PropertySet::Add(const char* name, std::vector<Value> values, bool writable, ValueType type) {
  const PropertyDef* def = FindProperty(name);
  if (def == nullptr) throw std::logic_error(std::string("the API has no property ") + name);
  const ValueType concrete = def->type == ValueType::ParamTyped ? type : def->type;
  for (const Value& v : values) {
    if (TypeOf(v) != concrete) throw std::logic_error(std::string("wrong type of value for ") + name);
  }
  if (def->dimension != 0 && values.size() != static_cast<std::size_t>(def->dimension)) {
    throw std::logic_error(std::string("wrong number of values for ") + name);
  }
  std::lock_guard lock(mutex_);
  properties_.push_back({name, def, concrete, values, values, writable});
}

PropertySet::Property* PropertySet::Find(const std::string& name) {
  for (Property& p : properties_) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

const PropertySet::Property* PropertySet::Find(const std::string& name) const {
  return const_cast<PropertySet*>(this)->Find(name);
}

void PropertySet::Put(const std::string& name, std::vector<Value> values) {
  std::lock_guard lock(mutex_);
  Property* p = Find(name);
  if (p == nullptr) throw std::logic_error("no property " + name + " on " + what_);
  p->values = std::move(values);
}

bool PropertySet::Has(const std::string& name) const {
  std::lock_guard lock(mutex_);
  return Find(name) != nullptr;
}

std::vector<Value> PropertySet::Values(const std::string& name) const {
  std::lock_guard lock(mutex_);
  const Property* p = Find(name);
  if (p == nullptr) throw std::logic_error("no property " + name + " on " + what_);
  return p->values;
}

int PropertySet::Int(const std::string& name, std::size_t index) const {
  const std::vector<Value> v = Values(name);
  return index < v.size() ? std::get<int>(v[index]) : 0;
}

double PropertySet::Double(const std::string& name, std::size_t index) const {
  const std::vector<Value> v = Values(name);
  return index < v.size() ? std::get<double>(v[index]) : 0.0;
}

std::string PropertySet::String(const std::string& name, std::size_t index) const {
  const std::vector<Value> v = Values(name);
  return index < v.size() ? std::get<std::string>(v[index]) : std::string();
}

std::vector<std::pair<std::string, std::vector<Value>>> PropertySet::Snapshot() const {
  std::lock_guard lock(mutex_);
  std::vector<std::pair<std::string, std::vector<Value>>> all;
  for (const Property& p : properties_) all.emplace_back(p.name, p.values);
  return all;
}

PropertySet::Property* PropertySet::Reach(const char* call, const char* name, ValueType type) {
  if (name == nullptr) {
    RecordFailure(std::string(call) + " on " + what_ + ": a null property name");
    return nullptr;
  }
  const PropertyDef* def = FindProperty(name);
  if (def == nullptr) {
    RecordFailure(Where(call, name, what_) + ": the API has no such property");
    return nullptr;
  }
  Property* p = Find(name);
  if (p == nullptr) {
    RecordFailure(Where(call, name, what_) + ": not a property of this set");
    return nullptr;
  }
  if (p->type != type) {
    RecordFailure(Where(call, name, what_) + ": the property is of type " + TypeName(p->type) + ", not " +
                  TypeName(type));
    return nullptr;
  }
  return p;
}

OfxStatus PropertySet::Check(const char* call, const Property& p, const Value& value) {
  if (!p.writable) return Refuse(kOfxStatErrValue, Where(call, p.name, what_) + ": the effect may only read it");
  if (p.def->flag && std::get<int>(value) != 0 && std::get<int>(value) != 1) {
    return Refuse(kOfxStatErrValue, Where(call, p.name, what_) + ": a flag is 0 or 1, not " +
                                        std::to_string(std::get<int>(value)));
  }
  if (p.type == ValueType::String && !Allowed(*p.def, std::get<std::string>(value))) {
    return Refuse(kOfxStatErrValue,
                  Where(call, p.name, what_) + ": \"" + std::get<std::string>(value) + "\" is not one of its values");
  }
  return kOfxStatOK;
}

OfxStatus PropertySet::Set(const char* call, const char* name, int index, Value value) {
  std::lock_guard lock(mutex_);
  Property* p = Reach(call, name, TypeOf(value));
  if (p == nullptr) return kOfxStatErrUnknown;
  if (const OfxStatus s = Check(call, *p, value); s != kOfxStatOK) return s;
  const std::size_t limit = p->def->dimension != 0 ? static_cast<std::size_t>(p->def->dimension) : p->values.size() + 1;
  if (index < 0 || static_cast<std::size_t>(index) >= limit) {
    return Refuse(kOfxStatErrBadIndex, Where(call, name, what_) + ": index " + std::to_string(index) +
                                           " outside its " + std::to_string(limit) + " values");
  }
  if (static_cast<std::size_t>(index) == p->values.size()) p->values.push_back(value);
  p->values[static_cast<std::size_t>(index)] = std::move(value);
  return kOfxStatOK;
}

OfxStatus PropertySet::SetN(const char* call, const char* name, ValueType type, std::vector<Value> values) {
  std::lock_guard lock(mutex_);
  Property* p = Reach(call, name, type);
  if (p == nullptr) return kOfxStatErrUnknown;
  if (!p->writable) return Refuse(kOfxStatErrValue, Where(call, name, what_) + ": the effect may only read it");
  if (p->def->dimension != 0 && values.size() != static_cast<std::size_t>(p->def->dimension)) {
    return Refuse(kOfxStatErrBadIndex, Where(call, name, what_) + ": " + std::to_string(values.size()) +
                                           " values for a property of " + std::to_string(p->def->dimension));
  }
  for (const Value& v : values) {
    if (const OfxStatus s = Check(call, *p, v); s != kOfxStatOK) return s;
  }
  p->values = std::move(values);
  return kOfxStatOK;
}

OfxStatus PropertySet::Get(const char* call, const char* name, int index, ValueType type, const Value** out) {
  std::lock_guard lock(mutex_);
  Property* p = Reach(call, name, type);
  if (p == nullptr) return kOfxStatErrUnknown;
  if (index < 0 || static_cast<std::size_t>(index) >= p->values.size()) {
    return Refuse(kOfxStatErrBadIndex, Where(call, name, what_) + ": index " + std::to_string(index) + " of " +
                                           std::to_string(p->values.size()) + " values");
  }
  *out = &p->values[static_cast<std::size_t>(index)];
  return kOfxStatOK;
}

OfxStatus PropertySet::GetN(const char* call, const char* name, int count, ValueType type,
                             std::vector<const Value*>* out) {
  std::lock_guard lock(mutex_);
  Property* p = Reach(call, name, type);
  if (p == nullptr) return kOfxStatErrUnknown;
  if (count < 0 || static_cast<std::size_t>(count) > p->values.size()) {
    return Refuse(kOfxStatErrBadIndex, Where(call, name, what_) + ": " + std::to_string(count) + " values asked of " +
                                           std::to_string(p->values.size()));
  }
  out->clear();
  for (int i = 0; i < count; ++i) out->push_back(&p->values[static_cast<std::size_t>(i)]);
  return kOfxStatOK;
}

OfxStatus PropertySet::Reset(const char* name) {
  std::lock_guard lock(mutex_);
  Property* p = name != nullptr ? Find(name) : nullptr;
  if (p == nullptr) return Refuse(kOfxStatErrUnknown, std::string("propReset(") + (name ? name : "null") + ") on " + what_);
  if (!p->writable) return Refuse(kOfxStatErrValue, std::string("propReset(") + name + ") on " + what_ + ": read only");
  p->values = p->defaults;
  return kOfxStatOK;
}

OfxStatus PropertySet::Dimension(const char* name, int* count) {
  std::lock_guard lock(mutex_);
  const Property* p = name != nullptr ? Find(name) : nullptr;
  if (p == nullptr) {
    return Refuse(kOfxStatErrUnknown, std::string("propGetDimension(") + (name ? name : "null") + ") on " + what_);
  }
  *count = static_cast<int>(p->values.size());
  return kOfxStatOK;
}

// ---- The suite ------------------------------------------------------------------------------------

namespace {

PropertySet* SetOf(OfxPropertySetHandle handle, const char* call) {
  return Valid(handle, Kind::PropertySet, call) ? PropertySet::From(handle) : nullptr;
}

template <class T>
constexpr ValueType kTypeOf = std::is_same_v<T, int> ? ValueType::Int
                              : std::is_same_v<T, double> ? ValueType::Double
                              : std::is_same_v<T, void*> ? ValueType::Pointer
                                                         : ValueType::String;

template <class T>
Value Wrap(T value) {
  if constexpr (std::is_same_v<T, const char*>) return std::string(value != nullptr ? value : "");
  else return value;
}

template <class T>
T Unwrap(const Value& value) {
  if constexpr (std::is_same_v<T, char*>) return const_cast<char*>(std::get<std::string>(value).c_str());
  else return std::get<T>(value);
}

template <class T>
OfxStatus SetOne(const char* call, OfxPropertySetHandle h, const char* name, int index, T value) {
  PropertySet* set = SetOf(h, call);
  return set == nullptr ? kOfxStatErrBadHandle : set->Set(call, name, index, Wrap(value));
}

template <class T>
OfxStatus SetMany(const char* call, OfxPropertySetHandle h, const char* name, int count, const T* values) {
  PropertySet* set = SetOf(h, call);
  if (set == nullptr) return kOfxStatErrBadHandle;
  if (count < 0 || (count > 0 && values == nullptr)) {
    return Refuse(kOfxStatErrBadIndex, std::string(call) + ": a negative count or null values");
  }
  std::vector<Value> all;
  for (int i = 0; i < count; ++i) all.push_back(Wrap(values[i]));
  return set->SetN(call, name, kTypeOf<T>, std::move(all));
}

template <class T, class Stored>
OfxStatus GetOne(const char* call, OfxPropertySetHandle h, const char* name, int index, T* out) {
  PropertySet* set = SetOf(h, call);
  if (set == nullptr) return kOfxStatErrBadHandle;
  if (out == nullptr) return Refuse(kOfxStatErrBadIndex, std::string(call) + ": a null place for the value");
  const Value* v = nullptr;
  const OfxStatus s = set->Get(call, name, index, kTypeOf<Stored>, &v);
  if (s == kOfxStatOK) *out = Unwrap<T>(*v);
  return s;
}

template <class T, class Stored>
OfxStatus GetMany(const char* call, OfxPropertySetHandle h, const char* name, int count, T* out) {
  PropertySet* set = SetOf(h, call);
  if (set == nullptr) return kOfxStatErrBadHandle;
  if (count > 0 && out == nullptr) return Refuse(kOfxStatErrBadIndex, std::string(call) + ": a null place for the values");
  std::vector<const Value*> v;
  const OfxStatus s = set->GetN(call, name, count, kTypeOf<Stored>, &v);
  if (s == kOfxStatOK) {
    for (std::size_t i = 0; i < v.size(); ++i) out[i] = Unwrap<T>(*v[i]);
  }
  return s;
}

const OfxPropertySuiteV1 kSuite = {
    [](OfxPropertySetHandle h, const char* n, int i, void* v) { return SetOne("propSetPointer", h, n, i, v); },
    [](OfxPropertySetHandle h, const char* n, int i, const char* v) { return SetOne("propSetString", h, n, i, v); },
    [](OfxPropertySetHandle h, const char* n, int i, double v) { return SetOne("propSetDouble", h, n, i, v); },
    [](OfxPropertySetHandle h, const char* n, int i, int v) { return SetOne("propSetInt", h, n, i, v); },
    [](OfxPropertySetHandle h, const char* n, int c, void* const* v) { return SetMany("propSetPointerN", h, n, c, v); },
    [](OfxPropertySetHandle h, const char* n, int c, const char* const* v) {
      return SetMany("propSetStringN", h, n, c, v);
    },
    [](OfxPropertySetHandle h, const char* n, int c, const double* v) { return SetMany("propSetDoubleN", h, n, c, v); },
    [](OfxPropertySetHandle h, const char* n, int c, const int* v) { return SetMany("propSetIntN", h, n, c, v); },
    [](OfxPropertySetHandle h, const char* n, int i, void** v) {
      return GetOne<void*, void*>("propGetPointer", h, n, i, v);
    },
    [](OfxPropertySetHandle h, const char* n, int i, char** v) {
      return GetOne<char*, const char*>("propGetString", h, n, i, v);
    },
    [](OfxPropertySetHandle h, const char* n, int i, double* v) {
      return GetOne<double, double>("propGetDouble", h, n, i, v);
    },
    [](OfxPropertySetHandle h, const char* n, int i, int* v) { return GetOne<int, int>("propGetInt", h, n, i, v); },
    [](OfxPropertySetHandle h, const char* n, int c, void** v) {
      return GetMany<void*, void*>("propGetPointerN", h, n, c, v);
    },
    [](OfxPropertySetHandle h, const char* n, int c, char** v) {
      return GetMany<char*, const char*>("propGetStringN", h, n, c, v);
    },
    [](OfxPropertySetHandle h, const char* n, int c, double* v) {
      return GetMany<double, double>("propGetDoubleN", h, n, c, v);
    },
    [](OfxPropertySetHandle h, const char* n, int c, int* v) { return GetMany<int, int>("propGetIntN", h, n, c, v); },
    [](OfxPropertySetHandle h, const char* n) {
      PropertySet* set = SetOf(h, "propReset");
      return set == nullptr ? kOfxStatErrBadHandle : set->Reset(n);
    },
    [](OfxPropertySetHandle h, const char* n, int* c) {
      PropertySet* set = SetOf(h, "propGetDimension");
      if (set == nullptr) return kOfxStatErrBadHandle;
      if (c == nullptr) return Refuse(kOfxStatErrBadIndex, "propGetDimension: a null place for the count");
      return set->Dimension(n, c);
    },
};

}  // namespace

const OfxPropertySuiteV1* PropertySuite() { return &kSuite; }

}  // namespace ofxhost
