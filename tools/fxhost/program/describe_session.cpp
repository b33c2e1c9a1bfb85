#include "describe_session.h"

#include <array>
#include <cstring>
#include <functional>

#include "json_text.h"
#include "program_host.h"
#include "sp_basic_suite.h"

namespace fxhost::program {
namespace {

std::string errorName(PF_Err error) {
  static constexpr std::array<const char*, 7> kErrors = {
      "PF_Err_INTERNAL_STRUCT_DAMAGED", "PF_Err_INVALID_INDEX", "PF_Err_UNRECOGNIZED_PARAM_TYPE",
      "PF_Err_INVALID_CALLBACK",        "PF_Err_BAD_CALLBACK_PARAM", "PF_Interrupt_CANCEL",
      "PF_Err_CANNOT_PARSE_KEYFRAME_TEXT"};
  if (error == PF_Err_NONE) return "PF_Err_NONE";
  if (error == PF_Err_OUT_OF_MEMORY) return "PF_Err_OUT_OF_MEMORY";
  if (error == kSPSuiteNotFoundError) return "kSPSuiteNotFoundError";
  if (error >= PF_FIRST_ERR && error < PF_FIRST_ERR + static_cast<PF_Err>(kErrors.size())) {
    return kErrors[static_cast<std::size_t>(error - PF_FIRST_ERR)];
  }
  return "PF_Err_#" + std::to_string(error);
}

std::string typeName(PF_ParamType type) {
  static constexpr std::array<const char*, 19> kTypes = {
      "PF_Param_LAYER",        "PF_Param_SLIDER",     "PF_Param_FIX_SLIDER", "PF_Param_ANGLE",
      "PF_Param_CHECKBOX",     "PF_Param_COLOR",      "PF_Param_POINT",      "PF_Param_POPUP",
      "PF_Param_CUSTOM",       "PF_Param_NO_DATA",    "PF_Param_FLOAT_SLIDER", "PF_Param_ARBITRARY_DATA",
      "PF_Param_PATH",         "PF_Param_GROUP_START", "PF_Param_GROUP_END", "PF_Param_BUTTON",
      "PF_Param_RESERVED2",    "PF_Param_RESERVED3",  "PF_Param_POINT_3D"};
  if (type >= 0 && type < static_cast<PF_ParamType>(kTypes.size())) return kTypes[static_cast<std::size_t>(type)];
  return "PF_Param_#" + std::to_string(type);
}

// Flags and versions are bit sets: their number is the unsigned 32-bit value.
std::string bits(A_long value) { return json::number(static_cast<std::uint32_t>(value)); }

template <typename T>
std::string optionalNumber(const std::optional<T>& value) {
  return value ? json::number(static_cast<long long>(*value)) : "null";
}

std::string version(const std::optional<PF_SpecVersion>& value) {
  if (!value) return "null";
  return json::object({{"major", json::number(value->major)}, {"minor", json::number(value->minor)}});
}

std::string pipl(const PiplResult& result) {
  std::vector<std::string> properties;
  for (const PiplProperty& property : result.properties) {
    properties.push_back(json::object({{"vendor", json::text(fourCharText(property.vendor))},
                                       {"key", json::text(fourCharText(property.key))},
                                       {"id", json::number(property.id)},
                                       {"data", json::hex(property.data)}}));
  }
  const PiplInfo& info = result.info;
  return json::object({{"properties", json::array(properties)},
                       {"kind", info.kind ? json::text(fourCharText(*info.kind)) : "null"},
                       {"name", json::text(info.name)},
                       {"category", json::text(info.category)},
                       {"match_name", json::text(info.matchName)},
                       {"entry_point", json::text(info.entryPoint)},
                       {"pipl_version", version(info.piplVersion)},
                       {"spec_version", version(info.specVersion)},
                       {"effect_version", optionalNumber(info.effectVersion)},
                       {"info_flags", optionalNumber(info.infoFlags)},
                       {"out_flags", optionalNumber(info.outFlags)},
                       {"out_flags2", optionalNumber(info.outFlags2)},
                       {"reserved_info", optionalNumber(info.reservedInfo)}});
}

std::string pixel(const PF_Pixel& value) {
  return json::object({{"alpha", json::number(value.alpha)},
                       {"red", json::number(value.red)},
                       {"green", json::number(value.green)},
                       {"blue", json::number(value.blue)}});
}

// The bytes of a fixed-size text field up to its terminator, or all of them without one.
std::string_view terminated(const char* field, std::size_t size) { return {field, strnlen(field, size)}; }

std::string param(PF_ParamIndex index, const AddParamRecord& added) {
  const PF_ParamDef& def = added.def;
  const std::string_view name = terminated(def.name, sizeof def.name);
  json::Fields fields{{"index", json::number(index)},
                      {"type", json::number(def.param_type)},
                      {"type_name", json::text(typeName(def.param_type))},
                      {"name", json::text(name)},
                      {"name_hex", json::hex(name)},
                      {"id", json::number(def.uu.id)},
                      {"flags", bits(def.flags)},
                      {"ui_flags", bits(def.ui_flags)}};
  switch (def.param_type) {
    case PF_Param_SLIDER:
      fields.insert(fields.end(), {{"value", json::number(def.u.sd.value)},
                                   {"valid_min", json::number(def.u.sd.valid_min)},
                                   {"valid_max", json::number(def.u.sd.valid_max)},
                                   {"slider_min", json::number(def.u.sd.slider_min)},
                                   {"slider_max", json::number(def.u.sd.slider_max)},
                                   {"default", json::number(def.u.sd.dephault)}});
      break;
    case PF_Param_CHECKBOX:
      fields.insert(fields.end(), {{"value", json::number(def.u.bd.value)},
                                   {"default", json::number(def.u.bd.dephault)},
                                   {"label", json::text(added.checkboxLabel)}});
      break;
    case PF_Param_COLOR:
      fields.insert(fields.end(), {{"value", pixel(def.u.cd.value)}, {"default", pixel(def.u.cd.dephault)}});
      break;
    default:
      break;
  }
  return json::object(fields);
}

// The commands sent and what each returned, in order.
class Results {
 public:
  explicit Results(std::ostream& log) : log_(log) {}

  // Sends one command and books its result; false when it failed.
  bool send(PF_Cmd command, const std::function<PF_Err()>& send) {
    const PF_Err result = send();
    results_.emplace_back(commandName(command), json::text(errorName(result)));
    if (result == PF_Err_NONE) return true;
    log_ << "fxhost: " << commandName(command) << " failed with " << errorName(result) << "\n";
    failed_ = true;
    return false;
  }

  bool failed() const { return failed_; }
  std::string text() const { return json::object(results_); }

 private:
  std::ostream& log_;
  json::Fields results_;
  bool failed_ = false;
};

}  // namespace

int runDescribeSession(const ProgramOptions& options, std::ostream& out, std::ostream& log) {
  Host host(options.host);
  if (!loadPlugin(host, options, log)) return kExitSetupFailed;
  Results results(log);
  PF_OutData global{};
  PF_OutData params{};
  std::vector<std::uint8_t> flat;
  std::string about;
  const bool globalUp = results.send(PF_Cmd_GLOBAL_SETUP, [&] {
    const PF_Err result = host.globalSetup();
    global = host.lastOutData();
    return result;
  });
  bool setUp = globalUp && results.send(PF_Cmd_PARAMS_SETUP, [&] {
    const PF_Err result = host.paramsSetup();
    params = host.lastOutData();
    return result;
  });
  setUp = setUp && results.send(PF_Cmd_SEQUENCE_SETUP, [&] { return host.sequenceSetup(); });
  setUp = setUp &&
          results.send(PF_Cmd_GET_FLATTENED_SEQUENCE_DATA, [&] { return host.getFlattenedSequenceData(&flat); });
  if (setUp) {
    results.send(PF_Cmd_ABOUT, [&] {
      const PF_Err result = host.about();
      about = host.returnMessage();
      return result;
    });
  }
  if (host.sequenceData() != nullptr) results.send(PF_Cmd_SEQUENCE_SETDOWN, [&] { return host.sequenceSetdown(); });
  if (globalUp) results.send(PF_Cmd_GLOBAL_SETDOWN, [&] { return host.globalSetdown(); });

  std::vector<std::string> definitions;
  for (const AddParamRecord& added : host.records().addedParams) {
    if (added.result != PF_Err_NONE) continue;
    definitions.push_back(param(static_cast<PF_ParamIndex>(definitions.size() + 1), added));
  }
  const AccountsReport accounts = host.accounts();
  std::vector<std::string> imbalances;
  for (const std::string& imbalance : accounts.imbalances) imbalances.push_back(json::text(imbalance));
  out << json::object({{"pipl", pipl(host.plugin().pipl())},
                       {"my_version", json::number(global.my_version)},
                       {"my_version_hex", json::hex32(global.my_version)},
                       {"out_flags", bits(global.out_flags)},
                       {"out_flags_hex", json::hex32(static_cast<std::uint32_t>(global.out_flags))},
                       {"out_flags2", bits(global.out_flags2)},
                       {"out_flags2_hex", json::hex32(static_cast<std::uint32_t>(global.out_flags2))},
                       {"num_params", json::number(params.num_params)},
                       {"params", json::array(definitions)},
                       {"flat_sequence_data", json::hex(flat)},
                       {"about", json::text(about)},
                       {"about_hex", json::hex(about)},
                       {"results", results.text()},
                       {"accounts", json::object({{"balanced", json::boolean(accounts.balanced())},
                                                  {"imbalances", json::array(imbalances)}})}})
      << "\n";
  if (results.failed()) return kExitFailed;
  if (accounts.balanced()) return kExitSuccess;
  log << "fxhost: the accounts do not balance\n" << accounts.text();
  return kExitImbalance;
}

}  // namespace fxhost::program
