// The shortest decimal text that reads back as the same float, made with
// printf and strtof: to_chars' text, for standard libraries without
// floating-point to_chars (the web build's); floattext uses it there.
#pragma once

#include <string>

namespace vx {

std::string shortestfloat(float v);

}  // namespace vx
