#pragma once

namespace vexo {
namespace pc {

// Hardware platforms of the cameras, numbered as the camera reports them in
// its device information.
enum DevPlatformType : int {
    DevPlatformHi3559A = 0,
    DevPlatformHi3519A = 1,
    DevPlatformHi3516DV300 = 2,
    DevPlatformHi3516CV500 = 3,
    DevPlatformSSC336Q = 4,
    DevPlatformSSC339G = 5,
    DevPlatformSSC359G = 6,
};

} // namespace pc
} // namespace vexo
