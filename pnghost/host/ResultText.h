// The words for a module's result codes, as pnghost tells them to a person.
#ifndef PNGHOST_RESULT_TEXT_H
#define PNGHOST_RESULT_TEXT_H

#include <cstdint>
#include <string>

// What a module's result code means, in words for the person.
std::string DescribeResult(int16_t result);

#endif
