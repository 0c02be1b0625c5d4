// Diagnostic builds (Pixmorph) report a broken precondition of a reference
// routine to a handler the host installs, then go on within their bounds.
// Release builds (Scalvane) compile the reports away; the bounds stay.
#pragma once

namespace pixmorph {

using AssertionHandler = void (*)(const char* condition, const char* file, int line);

// Null removes the handler; reports are then dropped.
void SetAssertionHandler(AssertionHandler handler);

#ifdef PIXMORPH_DIAGNOSTICS
inline constexpr bool kDiagnostics = true;
#else
inline constexpr bool kDiagnostics = false;
#endif

namespace detail {
void ReportAssertion(const char* condition, const char* file, int line);
}  // namespace detail

}  // namespace pixmorph

#ifdef PIXMORPH_DIAGNOSTICS
#define PIXMORPH_ASSERTION_FAILED(text) ::pixmorph::detail::ReportAssertion(text, __FILE__, __LINE__)
#else
#define PIXMORPH_ASSERTION_FAILED(text) ((void)0)
#endif
