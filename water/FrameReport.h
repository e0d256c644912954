// The measuring build's frame report (FrameReport_win32.cpp, linked into
// water_frames only, never shipped): frames drawn and time taken, written to
// C:\Tavelo-frames.txt at the end; with TAVELO_FRAME_TICK set, the sea held
// at that tick count; with TAVELO_FRAME_STALL set, the loop stuck for good
// after its first frame, said in the report (what the saver guard must cope
// with). The shipped renderer's report does nothing.
#pragma once

struct FrameFacts {
    int refreshHz = 0;
    bool swapInterval = false;
    bool paced = false;
    unsigned windows = 0;
    bool software = false;
};

#ifdef TAVELO_FRAME_REPORT
class FrameReport {
public:
    FrameReport();
    void FrameDrawn();
    void Write(const FrameFacts& facts) const;

private:
    unsigned long frames_ = 0;
    unsigned long firstTick_;
    bool stall_;
};
#else
struct FrameReport {
    void FrameDrawn() {}
    void Write(const FrameFacts&) const {}
};
#endif
