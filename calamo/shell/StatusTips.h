#pragma once

#include <QString>

#include <array>

namespace calamo {

inline constexpr int kTipCount = 5;

// The status-bar tips; TipNumber picks one for the whole run. The maintainer's mail address and the project's web
// address are the project's placeholders under example.org.
const std::array<QString, kTipCount>& statusTips();

}  // namespace calamo
