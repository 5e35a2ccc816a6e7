#pragma once

#include <string_view>

// The product's own texts, for every toolkit's windows.
namespace vantrel::design {

// The name of the program, as its tray tip, its message boxes' title bars and
// its banner carry it.
inline constexpr std::u16string_view kProductName = u"Vantrel";

// The maker's rights notice, on the configuration window's banner and in the
// about window.
inline constexpr std::u16string_view kRightsNotice = u"\u00A9 2026 Morvask. All rights reserved.";

// The author's contact address, shown in the about window and the target of
// its mail link.
inline constexpr std::u16string_view kContactAddress = u"vantrel@morvask.example";
inline constexpr std::u16string_view kMailLinkScheme = u"mailto:";

// The about window's credits note.
inline constexpr std::u16string_view kCredits =
    u"Special thanks to everyone that helped me with this app. To the regulars of the programmers' forum, "
    u"who answered every question however basic, and to the friend who lent me the tray icon control "
    u"this app started out with. If you have any comments or suggestions, send them to:";

// Before the major and minor version numbers on the about window.
inline constexpr std::u16string_view kVersionPrefix = u"Version: ";

// The key list's answer to the middle mouse button.
inline constexpr std::u16string_view kMiddleButtonMessage = u"mah!";

// The about window's hidden dialogue: the question, then the answer to Yes or
// the answer to No.
inline constexpr std::u16string_view kHiddenQuestion = u"MAH! You found a easter egg! Don't you feel special?!";
inline constexpr std::u16string_view kHiddenAnswerToYes = u"Good for you! Nobody cares!";
inline constexpr std::u16string_view kHiddenAnswerToNo =
    u"Don't put yourself down like that! Oh wait, go ahead, I don't care!";

// OK in the configuration window, when the settings cannot be written; the
// reason follows after a blank line.
inline constexpr std::u16string_view kSaveFailed = u"The key settings could not be saved.";

// The website window's caption before the first page and before each page's
// title, and the page title that the trumpet greets.
inline constexpr std::u16string_view kWebsiteCaption = u"Morvask Website";
inline constexpr std::u16string_view kWebsiteCaptionSeparator = u" - ";
inline constexpr std::u16string_view kTrumpetPageTitle = u"Morvak\u2122 Homepage Coming Soon...";
inline constexpr std::string_view kTrumpetSound = "trumpet1.wav";

} // namespace vantrel::design
