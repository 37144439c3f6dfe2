// The graphics window: the frame shown as a bitmap in a window of its own (PETSCII screens, and any
// screen in full screen). The composer asks whether frames go to a bitmap; tools that render
// pictures set that without a window.
#pragma once

// 1 while frames are drawn into a bitmap: the window is open, or a tool renders off screen.
int window_is_open();
void window_set_offscreen(int on);
