#pragma once

class QWidget;

// Keeps a top-level widget above the windows that are not kept on top, or
// lets it go back among them. Works on the widget's native window, because
// changing the widget's own window flags would hide it and run its show,
// enter and leave handlers again. A widget without a native window yet is
// left alone.
void SetStaysOnTop(QWidget* widget, bool onTop);
