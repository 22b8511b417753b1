#include "BuiltinTypes.h"

#include <algorithm>
#include <array>

namespace vexlo9::xsd {

namespace {

constexpr std::string_view kNCName = R"([\i-[:]][\c-[:]]*)";
constexpr std::string_view kNCNames = R"([\i-[:]][\c-[:]]*( [\i-[:]][\c-[:]]*)*)";

constexpr Whitespace C = Whitespace::Collapse;

// Sorted by name.
constexpr std::array kBuiltins = {
    Builtin{"ENTITIES", "string", C, kNCNames, "", "", false, true},
    Builtin{"ENTITY", "string", C, kNCName},
    Builtin{"ID", "string", C, kNCName},
    Builtin{"IDREF", "string", C, kNCName},
    Builtin{"IDREFS", "string", C, kNCNames, "", "", false, true},
    Builtin{"NCName", "string", C, kNCName},
    Builtin{"NMTOKEN", "string", C, R"(\c+)"},
    Builtin{"NMTOKENS", "string", C, R"(\c+( \c+)*)", "", "", false, true},
    Builtin{"NOTATION", "string", C, ""},
    Builtin{"Name", "string", C, R"(\i\c*)"},
    Builtin{"QName", "string", C, R"(([\i-[:]][\c-[:]]*:)?[\i-[:]][\c-[:]]*)"},
    Builtin{"anySimpleType", "string", Whitespace::Preserve, ""},
    Builtin{"anyURI", "string", C, ""},
    Builtin{"base64Binary", "base64Binary", C, ""},
    Builtin{"boolean", "boolean", C, ""},
    Builtin{"byte", "i1", C, "", "-128", "127", true},
    Builtin{"date", "date", C, ""},
    Builtin{"dateTime", "datetime", C, ""},
    Builtin{"decimal", "decimal", C, ""},
    Builtin{"double", "r8", C, ""},
    Builtin{"duration", "duration", C, ""},
    Builtin{"float", "r4", C, ""},
    Builtin{"gDay", "day", C, ""},
    Builtin{"gMonth", "month", C, ""},
    Builtin{"gMonthDay", "monthDay", C, ""},
    Builtin{"gYear", "year", C, ""},
    Builtin{"gYearMonth", "yearMonth", C, ""},
    Builtin{"hexBinary", "hexBinary", C, ""},
    Builtin{"int", "i4", C, "", "-2147483648", "2147483647", true},
    Builtin{"integer", "integer", C, "", "", "", true},
    Builtin{"language", "string", C, "[a-zA-Z]{1,8}(-[a-zA-Z0-9]{1,8})*"},
    Builtin{"long", "integer", C, "", "-9223372036854775808", "9223372036854775807", true},
    Builtin{"negativeInteger", "integer", C, "", "", "-1", true},
    Builtin{"nonNegativeInteger", "integer", C, "", "0", "", true},
    Builtin{"nonPositiveInteger", "integer", C, "", "", "0", true},
    Builtin{"normalizedString", "string", Whitespace::Replace, ""},
    Builtin{"positiveInteger", "integer", C, "", "1", "", true},
    Builtin{"short", "i2", C, "", "-32768", "32767", true},
    Builtin{"string", "string", Whitespace::Preserve, ""},
    Builtin{"time", "time", C, ""},
    Builtin{"token", "string", C, ""},
    Builtin{"unsignedByte", "ui1", C, "", "0", "255", true},
    Builtin{"unsignedInt", "integer", C, "", "0", "4294967295", true},
    Builtin{"unsignedLong", "integer", C, "", "0", "18446744073709551615", true},
    Builtin{"unsignedShort", "ui2", C, "", "0", "65535", true},
};

static_assert(std::is_sorted(kBuiltins.begin(), kBuiltins.end(),
                             [](const Builtin& a, const Builtin& b) { return a.name < b.name; }));

}  // namespace

const Builtin* FindBuiltin(std::string_view name) {
  const auto it = std::lower_bound(kBuiltins.begin(), kBuiltins.end(), name,
                                   [](const Builtin& b, std::string_view n) { return b.name < n; });
  return it != kBuiltins.end() && it->name == name ? &*it : nullptr;
}

}  // namespace vexlo9::xsd
