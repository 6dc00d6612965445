#pragma once

#include "toolkit/core/Types.h"

#include <ostream>
#include <string>

namespace nebulo {

// Rectangles print as (Left, Top, Right, Bottom) in failure messages.
inline std::ostream& operator<<(std::ostream& Out, const TRect& R)
{
    return Out << "(" << R.Left << ", " << R.Top << ", " << R.Right << ", " << R.Bottom << ")";
}

namespace test {

// Data rows print as their names, so the test list reads as the cases. A file
// whose rows live in an unnamed namespace brings this in with a using-declaration.
template <typename Row>
    requires requires(const Row& R) { std::string(R.Name); }
void PrintTo(const Row& R, std::ostream* Out)
{
    *Out << R.Name;
}

// Names each instantiated case after its row.
struct RowName {
    template <typename Info>
    std::string operator()(const Info& Case) const
    {
        return Case.param.Name;
    }
};

} // namespace test
} // namespace nebulo
