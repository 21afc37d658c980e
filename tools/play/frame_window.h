// The part of a running total that the last FRAMES frames added: the total at the end
// of each of them and at the end of the frame before them, in a ring.
#pragma once

#include <array>
#include <cstdint>

template <int FRAMES> class FrameWindow {
  public:
    // The running total at the end of the frame that just ran.
    void EndFrame(std::uint64_t total) {
        totals_[frames_ % RING] = total;
        ++frames_;
    }
    // What the last FRAMES frames added (every frame so far while there are fewer;
    // the total starts at 0).
    std::uint64_t AddedByLastFrames() const {
        if (frames_ == 0)
            return 0;
        const std::uint64_t last = totals_[(frames_ - 1) % RING];
        if (frames_ <= FRAMES)
            return last;
        // The total before the window's first frame: FRAMES + 1 frames back, the slot
        // the next frame will write.
        return last - totals_[frames_ % RING];
    }

  private:
    static constexpr long RING = FRAMES + 1;
    std::array<std::uint64_t, RING> totals_{};
    long frames_ = 0;
};
