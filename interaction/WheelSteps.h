#pragma once

namespace nebulo {

// Whole zoom steps out of wheel turns. A notch of a common wheel turns 120
// eighths of a degree and makes one step; finer wheels and touchpads add up
// to it, and turning back starts the count over.
class TWheelSteps {
public:
    static constexpr int Notch = 120;

    // The steps Delta completes: positive away from the user (zoom in),
    // negative toward (zoom out).
    int Add(int Delta);

private:
    int Pending_ = 0;
};

} // namespace nebulo
