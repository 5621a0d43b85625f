#pragma once

namespace zenrun {

inline constexpr char kAppTitle[] = "Zenrun 11.0";
inline constexpr char kAppVersion[] = "11.0";

}  // namespace zenrun
