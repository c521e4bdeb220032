// Reads an integer written the classic Pascal way: optional leading blanks, an optional sign,
// then decimal digits or a hexadecimal mark ("$", "x", "X", "0x", "0X") and hexadecimal digits.
// Nothing may follow the last digit, and the value must fit in 64 signed bits.
#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

std::optional<std::int64_t> parseIntegerText(QStringView text);
