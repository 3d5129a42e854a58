#pragma once

// The text of the error report that ends a button's work.

#include <exception>
#include <string>

namespace ludaro {

// The error's message, followed by a full stop unless it already ends in a
// character whose code is that of the full stop or lower (")" or "." say).
// A second line names the file and line the error came from, where known.
std::u16string ErrorReportText(const std::exception& error);

}  // namespace ludaro
