#pragma once
// Where typing goes when a view is opened from the keyboard.

class QWidget;

// The first control of a view that takes typing or arrow keys, in its tab order (not a
// link or a button), that is shown and enabled; nullptr when there is none.
QWidget* FirstInputOf(QWidget* view);
