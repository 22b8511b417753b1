#pragma once

#include <cstdint>

namespace vexlo9 {

// The primitive types a particle can hold.
enum XmlDataType : int32_t {
  type_hexBinary = 0,
  type_base64Binary = 1,
  type_i1 = 2,
  type_i2 = 3,
  type_i4 = 4,
  type_i8 = 5,
  type_ui1 = 6,
  type_ui2 = 7,
  type_ui4 = 8,
  type_ui8 = 9,
  type_r4 = 10,
  type_r8 = 11,
  type_duration = 12,
  type_yearMonth = 13,
  type_monthDay = 14,
  type_year = 15,
  type_month = 16,
  type_day = 17,
  type_date = 18,
  type_datetime = 19,
  type_time = 20,
  type_char = 21,
  type_string = 22,
  type_boolean = 23,
  type_decimal = 24,
  type_integer = 25,
};

// The whiteSpace facet applied to text before it is read.
enum WhitespaceRule : int32_t {
  WhitespaceRule_Collapse = 0,
  WhitespaceRule_Preserve = 1,
  WhitespaceRule_Replace = 2,
};

}  // namespace vexlo9
