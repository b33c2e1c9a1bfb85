// The effect as JSON: its identity and the values a reader wants first (label, grouping,
// contexts, depths; per parameter its type, label, default and ranges), then every property of the
// effect, each clip and each parameter as the effect described them.
#include "describe.h"

namespace ofxhost::program {
namespace {

void Array(std::ostream& out, const std::vector<std::string>& values) {
  out << '[';
  for (std::size_t i = 0; i < values.size(); ++i) out << (i ? ", " : "") << values[i];
  out << ']';
}

// A property of one value as that value, else as an array; null when the object has none.
void Field(std::ostream& out, const DescribedObject& object, const std::string& property) {
  const std::vector<std::string> values = object.Values(property);
  if (values.empty()) out << "null";
  else if (values.size() == 1) out << values[0];
  else Array(out, values);
}

void Properties(std::ostream& out, const DescribedObject& object, const std::string& indent) {
  out << "{";
  for (std::size_t i = 0; i < object.properties.size(); ++i) {
    out << (i ? "," : "") << "\n" << indent << "  \"" << object.properties[i].name << "\": ";
    Array(out, object.properties[i].values);
  }
  out << "\n" << indent << "}";
}

}  // namespace

void WriteDescription(const Description& d, std::ostream& out) {
  const DescribedObject& e = d.effect;
  out << "{\n  \"identifier\": \"" << d.identifier << "\",\n  \"version\": [" << d.versionMajor << ", "
      << d.versionMinor << "],\n  \"label\": ";
  Field(out, e, "OfxPropLabel");
  out << ",\n  \"grouping\": ";
  Field(out, e, "OfxImageEffectPluginPropGrouping");
  out << ",\n  \"contexts\": ";
  Array(out, e.Values("OfxImageEffectPropSupportedContexts"));
  out << ",\n  \"depths\": ";
  Array(out, e.Values("OfxImageEffectPropSupportedPixelDepths"));
  out << ",\n  \"properties\": ";
  Properties(out, e, "  ");
  out << ",\n  \"described\": [";
  for (std::size_t c = 0; c < d.contexts.size(); ++c) {
    const DescribedContext& context = d.contexts[c];
    out << (c ? "," : "") << "\n    {\n      \"context\": \"" << context.context << "\",\n      \"clips\": [";
    for (std::size_t i = 0; i < context.clips.size(); ++i) {
      const DescribedObject& clip = context.clips[i];
      out << (i ? "," : "") << "\n        {\"name\": \"" << clip.name << "\", \"components\": ";
      Array(out, clip.Values("OfxImageEffectPropSupportedComponents"));
      out << ", \"properties\": ";
      Properties(out, clip, "        ");
      out << "}";
    }
    out << "\n      ],\n      \"params\": [";
    for (std::size_t i = 0; i < context.params.size(); ++i) {
      const DescribedObject& p = context.params[i];
      out << (i ? "," : "") << "\n        {\"name\": \"" << p.name << "\"";
      const std::pair<const char*, const char*> summary[] = {
          {"type", "OfxParamPropType"},     {"label", "OfxPropLabel"},          {"parent", "OfxParamPropParent"},
          {"default", "OfxParamPropDefault"}, {"min", "OfxParamPropMin"},      {"max", "OfxParamPropMax"},
          {"displayMin", "OfxParamPropDisplayMin"}, {"displayMax", "OfxParamPropDisplayMax"},
      };
      for (const auto& [key, property] : summary) {
        out << ", \"" << key << "\": ";
        Field(out, p, property);
      }
      out << ", \"properties\": ";
      Properties(out, p, "        ");
      out << "}";
    }
    out << "\n      ]\n    }";
  }
  out << "\n  ]\n}\n";
}

}  // namespace ofxhost::program
