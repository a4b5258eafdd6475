// The drop tools' paint kernels. They are registered so that the pass registry can build their
// pipelines at start-up; what they compute comes with the drop tools.

#include "foundation/Fatal.h"
#include "kernels/KernelList.h"

namespace kernels {

void addSphere(const gpu::Dispatch&) { foundation::fatalError("mac_add_sphere: not built yet"); }

void sprayerPaint(const gpu::Dispatch&) { foundation::fatalError("DAESprayer_paint: not built yet"); }

}  // namespace kernels
