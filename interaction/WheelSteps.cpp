#include "interaction/WheelSteps.h"

namespace nebulo {

int TWheelSteps::Add(int Delta)
{
    if ((Delta > 0 && Pending_ < 0) || (Delta < 0 && Pending_ > 0))
        Pending_ = 0;
    Pending_ += Delta;
    const int Steps = Pending_ / Notch;
    Pending_ -= Steps * Notch;
    return Steps;
}

} // namespace nebulo
