#include "velframewatcher.h"

#include "velx11window.h"

#include <vector>

namespace
{

uint64_t fnv1a(const std::vector<uint8_t> &bytes)
{
    uint64_t hash = 1469598103934665603ull;
    for (const uint8_t b : bytes) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
    return hash;
}

} // namespace

bool VelFrameWatcher::sample()
{
    std::vector<uint8_t> pixels;
    if (!m_window || !m_window->grabPixels(&pixels, nullptr))
        return false;
    const uint64_t hash = fnv1a(pixels);
    if (!m_haveBaseline) {
        m_haveBaseline = true;
        m_lastHash = hash;
        m_baselineTime = Clock::now();
        return false;
    }
    if (hash == m_lastHash)
        return false;
    m_lastHash = hash;
    ++m_frames;
    m_lastChange = Clock::now();
    return true;
}

bool VelFrameWatcher::ready(int wantedFrames, std::chrono::milliseconds settle,
                            std::chrono::milliseconds idleLimit) const
{
    if (m_frames >= wantedFrames)
        return true;
    if (m_frames > 0)
        return Clock::now() - m_lastChange >= settle;
    return idleLimit.count() > 0 && m_haveBaseline && Clock::now() - m_baselineTime >= idleLimit;
}
