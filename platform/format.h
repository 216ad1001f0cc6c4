#pragma once
// Text formatting as the program's status texts and result files use it: "%g", "%f", "%i"/"%d",
// "%s", "%e" with flags, width and precision; the two characters \n in a format become a line
// break. The format is applied again and again to the arguments' elements, taken in column
// order, until all are written; a format without conversions is written once.
#include <string>
#include <vector>

#include "platform/value.h"

namespace tav {

std::string sprintf_m(const std::string& format, const std::vector<Value>& args);

// Precision used for every "%g" without its own precision (6 unless changed, for the batch
// tool's --digits). Returns the previous value.
int set_g_precision(int digits);
int g_precision();

// Number to text as a user reads it: integers without a point, others with up to 5 significant
// digits after the first ("%.5g" style, like the runtime's num2str).
std::string num2str(double v);

}  // namespace tav
