// The Help menu's windows: a short guide to the method and its six parameters with a worked
// example, and About. Both open beside the window without blocking it.
#pragma once

class QWidget;

// Shows (or raises) the guide, a window named "guideWindow".
void showGuide(QWidget* parent);
// Shows (or raises) About, a window named "aboutWindow".
void showAbout(QWidget* parent);
