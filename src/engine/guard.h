#pragma once
// The one entry point for every event that runs scripts (a click, a key, a
// timer tick, a page link, the end of a video). A failure abandons the run,
// is shown in the error box with where it happened, and the program goes on.
#include <functional>

namespace corvant {
struct Runtime;
// Returns false when the work failed.
bool runGuarded(Runtime& rt, const std::function<void()>& work);
}  // namespace corvant
