#pragma once
#include <QString>

namespace ql {

// A key code: the low 8 bits are a virtual key of the key-sequence language,
// the bits above request modifiers. 0 means "names no key".
inline constexpr int kShiftBit = 0x100;
inline constexpr int kCtrlBit = 0x200;
inline constexpr int kAltBit = 0x400;

// Virtual keys with a meaning of their own.
inline constexpr int kVkBackspace = 8;
inline constexpr int kVkTab = 9;
inline constexpr int kVkEnter = 13;
inline constexpr int kVkShift = 16;
inline constexpr int kVkCtrl = 17;
inline constexpr int kVkAlt = 18;
inline constexpr int kVkPause = 19;

// Mouse names yield codes 1-7: 1 left, 2 right, 3 centre; +4 for a double click.
inline constexpr int kMouseDoubleBit = 4;
inline bool isMouseCode(int virtualKey) { return virtualKey >= 1 && virtualKey <= 7 && virtualKey != 4; }

// The key code of a key name (case-insensitive, trailing blanks ignored), or 0.
int LookupKeyName(const QString& name);

} // namespace ql
