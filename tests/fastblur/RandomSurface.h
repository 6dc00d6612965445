#pragma once

#include "tests/support/BmpBytes.h"

#include <cstdint>
#include <memory>
#include <random>
#include <string>

namespace nebulo {
class TSDIB;
}

namespace nebulo::test {

// A 24-bit file of random pixels whose padding, gap before the rows and bytes
// after them are random too: a blur must leave all of those as they are.
TBytes RandomBmpFile(int32_t Width, int32_t Height, std::mt19937& Random);

std::unique_ptr<TSDIB> SurfaceOf(const TBytes& File);

// Where byte Offset of a 24-bit file lies: "row 3 (from the top), pixel 5,
// byte 2", "padding of row 3", or outside the rows.
std::string DescribeOffset(TSDIB& Surface, int64_t Offset);

// Empty when both held files are the same; else the first differing byte
// with both values.
std::string FirstDifference(TSDIB& Expected, TSDIB& Actual);

} // namespace nebulo::test
