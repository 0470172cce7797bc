#pragma once

class SlipMain;

// What the program does before its event loop: the application folder, the
// connection failure message, and the main window loaded and shown maximized.
SlipMain& startCheqora();

// What it does after: every window goes, then the shared connection and the
// last report, while Qt's SQL drivers are still there to close them.
void stopCheqora();
