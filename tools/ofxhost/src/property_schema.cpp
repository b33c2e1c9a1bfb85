#include "property_schema.h"


namespace ofxhost {
namespace {

constexpr PropertyDef kSchema[] = {
#include "property_schema.inc"
};

}  // namespace

const PropertyDef* FindProperty(std::string_view name) {
  for (const PropertyDef& def : kSchema) {
    const std::string_view defined = def.name;
    if (def.prefix ? name.size() > defined.size() && name.substr(0, defined.size()) == defined : name == defined) {
      return &def;
    }
  }
  return nullptr;
}

bool Allowed(const PropertyDef& def, std::string_view value) {
  std::string_view list = def.enumeration;
  if (list.empty()) return true;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    if (list.substr(0, comma) == value) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

const char* TypeName(ValueType type) {
  switch (type) {
    case ValueType::Int: return "int";
    case ValueType::Double: return "double";
    case ValueType::String: return "string";
    case ValueType::Pointer: return "pointer";
    case ValueType::ParamTyped: return "parameter-typed";
  }
  return "?";
}

}  // namespace ofxhost
