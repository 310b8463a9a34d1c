#pragma once
// The bound on redirects, shared by the check that follows them and the text of the error that ends it.

namespace aracnide {

// Redirects followed in one check; one more ends the check with kErrRedirectFailed.
inline constexpr int kMaxRedirects = 10;

}  // namespace aracnide
