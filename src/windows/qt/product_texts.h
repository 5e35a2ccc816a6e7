#pragma once

#include <QStringView>

namespace vantrel {

// The program's own name as its message boxes carry it in their title bar.
inline constexpr QStringView kAppTitle = u"Vantrel";

// The maker's rights notice, shown on the configuration window's banner and in
// the about window.
inline constexpr QStringView kRightsNotice = u"\u00A9 2026 Morvask. All rights reserved.";

// The author's contact address, shown in the about window and used for its
// mail link.
inline constexpr QStringView kContactAddress = u"vantrel@morvask.example";

} // namespace vantrel
