#ifndef VELFRAMEWATCHER_H
#define VELFRAMEWATCHER_H

#include <chrono>
#include <cstdint>

class VelX11Window;

// Counts the frames a window shows by sampling its pixels: X11 reports no
// buffer swaps of another client, so a frame is counted whenever the content
// differs from the previous sample. Identical consecutive frames, and frames
// shown between two samples, are not seen: an app that draws once and then
// stays still is "ready" after a settle time instead, and one whose frames
// never differ from the empty window after an idle limit.
class VelFrameWatcher
{
public:
    using Clock = std::chrono::steady_clock;

    explicit VelFrameWatcher(VelX11Window *window) : m_window(window) {}

    // Takes one sample; true when the content changed since the last one. The
    // first sample only sets the baseline.
    bool sample();
    int frames() const { return m_frames; }

    // True once `wantedFrames` changes were seen, or at least one change was
    // seen and nothing changed for `settle`, or nothing changed at all for
    // `idleLimit` after the first sample (a zero limit waits for ever).
    bool ready(int wantedFrames, std::chrono::milliseconds settle,
               std::chrono::milliseconds idleLimit = std::chrono::milliseconds(0)) const;

private:
    VelX11Window *m_window;
    bool m_haveBaseline = false;
    uint64_t m_lastHash = 0;
    int m_frames = 0;
    Clock::time_point m_baselineTime{};
    Clock::time_point m_lastChange{};
};

#endif
