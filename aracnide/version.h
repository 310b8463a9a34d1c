#pragma once
// The link checker's version: the report header, the credit button and --version show it. The manual
// page and the AppStream metadata name it too; CMake stops when they do not agree with it.

namespace aracnide {

inline constexpr char kVersion[] = "1.20";  // at most four characters (the report header's field)

}  // namespace aracnide
