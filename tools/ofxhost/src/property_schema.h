#pragma once
// What the OpenFX API says of each property: its type, how many values it holds and, for an
// enumeration, which strings. Generated from the measured table at build time.

#include <string_view>

namespace ofxhost {

enum class ValueType { Int, Double, String, Pointer, ParamTyped /* follows the parameter's type */ };

struct PropertyDef {
  const char* name;
  ValueType type;
  int dimension;            // 0: any number of values
  bool flag;                // an int that must be 0 or 1
  const char* enumeration;  // the allowed strings, comma-separated; "" for any
  bool prefix;              // the name is completed with a clip's name
};

// The property of this exact name, or of a prefix the name completes; null for a name the API
// does not have.
const PropertyDef* FindProperty(std::string_view name);

// Whether `value` is one the property may hold.
bool Allowed(const PropertyDef& def, std::string_view value);

const char* TypeName(ValueType type);

}  // namespace ofxhost
