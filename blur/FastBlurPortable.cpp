#include "blur/FastBlurKernel.h"
#include "blur/PairConvolution.h"

namespace nebulo {

namespace {
constexpr TPairKernels PortableTable = PairKernelsOf<TScalar>(16);
} // namespace

const TPairKernels& PortableKernels()
{
    return PortableTable;
}

} // namespace nebulo
