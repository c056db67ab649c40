#pragma once
// The integer syntax shared by the position edit boxes and the task values.
#include <cstdint>
#include <optional>
#include <string_view>

namespace core {

// Leading spaces, one optional sign, then decimal digits, or hexadecimal digits after "$", "x", "X", "0x" or "0X";
// nothing may follow. Decimal values must lie in -2147483648..2147483647; a hexadecimal value may use all 32 bits
// ("$FFFFFFFF" is -1) and the sign is applied to it afterwards. Anything else gives nullopt.
std::optional<int32_t> ParseInt32(std::wstring_view text);

// Task values: text that does not read as an integer counts as 0.
int32_t ParseInt32Or0(std::wstring_view text);

}  // namespace core
