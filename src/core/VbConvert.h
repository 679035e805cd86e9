#pragma once
// Number conversions of settings, replies and file texts. They accept what an operator or a
// sensor writes for a whole number (surrounding blanks, a sign, leading zeros, a fraction that
// is rounded half to even) and fail with the classic descriptions otherwise.

#include <QString>
#include <optional>

namespace kel {

inline const char* const kTypeMismatch = "Type mismatch";
inline const char* const kOverflow = "Overflow";

// The whole number in text if it lies in [min, max]; otherwise nullopt and, when error is
// given, "Type mismatch" (not a number) or "Overflow" (out of range) in *error.
std::optional<int> toWholeNumber(const QString& text, int min, int max, QString* error = nullptr);

inline std::optional<int> toInt16(const QString& text, QString* error = nullptr)
{
    return toWholeNumber(text, -32768, 32767, error);
}

inline std::optional<int> toByte(const QString& text, QString* error = nullptr)
{
    return toWholeNumber(text, 0, 255, error);
}

} // namespace kel
