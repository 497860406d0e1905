#include "comm/DevUsageSource.h"

#include <atomic>

namespace vexo {
namespace pc {

namespace {
std::atomic<DevUsageSource *> g_source{nullptr};
}

DevUsageSource::~DevUsageSource() = default;

DevUsageSource *DevUsageSource::instance()
{
    return g_source.load();
}

void DevUsageSource::setInstance(DevUsageSource *source)
{
    g_source.store(source);
}

} // namespace pc
} // namespace vexo
