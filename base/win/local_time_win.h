// The clock: this moment in the system's local time.
#pragma once

#include <ctime>

namespace win {

std::tm LocalTimeNow();

} // namespace win
