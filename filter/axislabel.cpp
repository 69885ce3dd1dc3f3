#include "filter/axislabel.h"

namespace navorel {

std::string axisLabelText(double)
{
    return {};
}

} // namespace navorel
