#pragma once
// Opening a file with the application the desktop associates with it.

#include <filesystem>

namespace vexamo {

// False when the file does not exist or the desktop could not open it.
bool OpenWithDesktop(const std::filesystem::path& file);

} // namespace vexamo
