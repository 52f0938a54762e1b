#ifndef FAKEANSWER_H
#define FAKEANSWER_H

// A slow app, for tests of what waits for the app's answer: with
// VEL_FAKEPLUGIN_TOUCH_PAINT=RRGGBB, the end of every touch (the last finger
// lifted) is answered with a frame of that colour, presented through EGL on
// the current surface VEL_FAKEPLUGIN_ANSWER_DELAY_MS after the touch (default
// 0), on a thread of its own so that the UI thread is not held up.
void velFakeAnswerTouch();
// A redraw (updateWindow) presents the last answer again, at once; nothing
// before the first answer.
void velFakeAnswerRedraw();

#endif
