#pragma once

// The mouse pointer over the whole application.
enum MousePointerShape { vbDefault = 0, vbHourglass = 11 };

namespace Screen {
// vbHourglass shows the busy pointer everywhere; vbDefault gives every window its own pointer back.
void setMousePointer(MousePointerShape shape);
MousePointerShape MousePointer();
} // namespace Screen

// Shows the hourglass while it lives: the pointer comes back also when the work fails.
class HourglassPointer {
public:
    HourglassPointer() { Screen::setMousePointer(vbHourglass); }
    ~HourglassPointer() { Screen::setMousePointer(vbDefault); }
    HourglassPointer(const HourglassPointer&) = delete;
    HourglassPointer& operator=(const HourglassPointer&) = delete;
};
