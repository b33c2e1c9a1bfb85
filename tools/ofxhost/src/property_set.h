#pragma once
// A property set: named, typed values in fixed or open number, as every object of the API holds
// them. The host declares each property a set has (checked against the API's schema) and which of
// them the effect may write; the effect reaches them through the property suite, which checks every
// call: an unknown name, the wrong type, an index outside the dimension, a value outside an
// enumeration, or a write to what the effect may only read is refused and recorded.

#include <mutex>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "ofx_property.h"
#include "property_schema.h"

namespace ofxhost {

using Value = std::variant<int, double, std::string, void*>;

class PropertySet {
 public:
  explicit PropertySet(std::string what);
  ~PropertySet();
  PropertySet(const PropertySet&) = delete;
  PropertySet& operator=(const PropertySet&) = delete;

  OfxPropertySetHandle handle() { return reinterpret_cast<OfxPropertySetHandle>(this); }
  static PropertySet* From(OfxPropertySetHandle handle) { return reinterpret_cast<PropertySet*>(handle); }
  const std::string& what() const { return what_; }

  // The host's side, unchecked for writability. Add throws std::logic_error for a name the API does
  // not have or values of the wrong type; `type` is the concrete type of a parameter-typed property.
  void Add(const char* name, std::vector<Value> values, bool writable = false, ValueType type = ValueType::Int);
  void Put(const std::string& name, std::vector<Value> values);
  bool Has(const std::string& name) const;
  std::vector<Value> Values(const std::string& name) const;  // throws std::logic_error if absent
  int Int(const std::string& name, std::size_t index = 0) const;
  double Double(const std::string& name, std::size_t index = 0) const;
  std::string String(const std::string& name, std::size_t index = 0) const;
  std::vector<std::pair<std::string, std::vector<Value>>> Snapshot() const;

  // The effect's side, through the suite. `call` names the suite function in failures. Get gives a
  // string as a pointer into the set's own storage, valid until the property next changes.
  OfxStatus Set(const char* call, const char* name, int index, Value value);
  OfxStatus SetN(const char* call, const char* name, ValueType type, std::vector<Value> values);
  OfxStatus Get(const char* call, const char* name, int index, ValueType type, const Value** out);
  OfxStatus GetN(const char* call, const char* name, int count, ValueType type, std::vector<const Value*>* out);
  OfxStatus Reset(const char* name);
  OfxStatus Dimension(const char* name, int* count);

 private:
  struct Property {
    std::string name;
    const PropertyDef* def;
    ValueType type;
    std::vector<Value> values;
    std::vector<Value> defaults;
    bool writable;
  };
  Property* Find(const std::string& name);
  const Property* Find(const std::string& name) const;
  // The property named, or null after recording why the call cannot have it.
  Property* Reach(const char* call, const char* name, ValueType type);
  OfxStatus Check(const char* call, const Property& p, const Value& value);

  std::string what_;
  mutable std::mutex mutex_;
  std::vector<Property> properties_;
};

// The property suite, as the host hands it out.
const OfxPropertySuiteV1* PropertySuite();

}  // namespace ofxhost
