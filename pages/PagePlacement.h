#pragma once
// Where the program's page windows stand: as wide as the screen the main
// window is on, level with the main window's top, and a given number of
// twips lower than the main window (never smaller than their own size hint).

class QWidget;

namespace kova {

void placeUnderMainWindow(QWidget& window, const QWidget* mainWindow, int lowerTwips);

} // namespace kova
