// The emulated SAP system's dictionary entry for the one function module it
// serves, SAPTUNE_GET_SUMMARY_STATISTIC: its importing parameters with the
// fields of their structures, and its tables. The landscape reader checks
// value names against it, and RfcReceive fills only parameters and tables
// that the function module really has, so that a misspelt name on the
// caller's side stays unfilled, as it would against a real system.
#pragma once

#include <string_view>

namespace rfcemu {

inline constexpr std::string_view kFunctionName = "SAPTUNE_GET_SUMMARY_STATISTIC";

// One field of a structure, or a parameter of a basic type.
struct DictionaryField {
  std::string_view name;
  unsigned type;          // TYPC, TYPP, ... (rfc_api.h)
  unsigned length;        // bytes
  unsigned decimals = 0;  // of a packed field, as the NetWeaver face describes and renders it
};

// The one parameter the caller sends: DESTINATION, 32 characters.
extern const DictionaryField kDestinationParameter;

struct ImportingParameter {
  std::string_view name;
  // For a basic type the field's own name is the parameter's name and
  // `fields` has one entry; for a structure `structure` names it and
  // `fields` lists its elements in order.
  std::string_view structure;  // empty for a basic type
  const DictionaryField* fields;
  unsigned field_count;
};

// Returns the importing parameter of that name (exact, upper case), or null.
const ImportingParameter* FindImportingParameter(std::string_view name);

// Returns the field of a parameter: `field` is empty for a basic-typed
// parameter. Null when the parameter has no such field.
const DictionaryField* FindField(const ImportingParameter& parameter, std::string_view field);

// True when the function module has a table of that name.
bool IsTableName(std::string_view name);

// The function module's tables in interface order, ten of them.
extern const std::string_view kTableNames[10];

// The name of a basic type code ("TYPP"), or an empty view.
std::string_view TypeName(unsigned type);

}  // namespace rfcemu
