#pragma once

// Salts of the codes the client proves its account with. The back-end recomputes the same
// codes, so it includes this header too; changing a value breaks every deployed pair.
namespace zenrun::salts {

inline constexpr char kUser[] = "rofu";
inline constexpr char kPass[] = "timba";
inline constexpr char kChain1[] = "quarnel";
inline constexpr char kChain2[] = "bolwetz";
inline constexpr char kChain3[] = "zoq";
// The two three-digit salts of the connect codes.
inline constexpr char kConnectCheck[] = "417";
inline constexpr char kConnectPass[] = "629";

}  // namespace zenrun::salts
