#pragma once

#include <QUrl>

#include <filesystem>
#include <vector>

namespace vantrel {

// The folders holding the website window's data files (its home page and its
// sound), in search order: the "data" folder beside the program, which a
// build tree has, then the installed data folder.
std::vector<std::filesystem::path> websiteDataFolders();

// The maker's website address: the one the build was configured with, else
// the home page shipped in the first data folder that has it (so that the
// window works without a network).
QUrl websiteAddress(const std::vector<std::filesystem::path> &dataFolders);

} // namespace vantrel
