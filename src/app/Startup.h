#pragma once

class SlipMain;

// What the program does before its event loop: the application folder, the
// connection failure message, and the main window loaded and shown maximized.
SlipMain& startCheqora();
