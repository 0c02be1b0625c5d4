#include "filters/pixmorph/colorspaceconverter_diagnostics.h"

#include <atomic>

namespace pixmorph {
namespace {
std::atomic<AssertionHandler> g_handler{nullptr};
}  // namespace

void SetAssertionHandler(AssertionHandler handler) { g_handler.store(handler); }

namespace detail {
void ReportAssertion(const char* condition, const char* file, int line) {
    if (AssertionHandler handler = g_handler.load()) handler(condition, file, line);
}
}  // namespace detail

}  // namespace pixmorph
