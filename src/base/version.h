#pragma once
// The program's one version string: the window caption, the About box, quillox-scan --version
// and the Debian package all show it. The build sets it from the project's version.
namespace quillox {

inline constexpr const char* kVersion = QUILLOX_VERSION;  // e.g. "0.9 alpha"

}  // namespace quillox
