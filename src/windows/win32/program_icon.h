#pragma once

// The program's icon among vantrel.exe's resources, as the version record's
// resource script names it.
inline constexpr const wchar_t *kProgramIconName = L"IDI_ICON1";
