#include "blur/FastBlurKernel.h"
#include "blur/PairConvolution.h"

namespace nebulo {

TConvolveLine PortableKernel()
{
    return &ConvolveLine<TScalar>;
}

} // namespace nebulo
