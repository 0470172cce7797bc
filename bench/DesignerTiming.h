#pragma once
#include <QString>

// The template designer's figures: opening a template with a 300-dpi A4 scan
// behind 40 elements (read, window built and first drawn), one step of a drag
// at 100 % (the move and the redraw), and saving.
struct DesignerFigures {
    double openMs = 0;
    double openCpuMs = 0; // the process's processor time: the open's own work on a busy machine
    double dragStepMs = 0;
    double saveMs = 0;
};

// Works in folder (made when missing); medians of repetitions runs, drag steps 10 times as many.
DesignerFigures measureDesigner(const QString& folder, int repetitions);

QString formatDesignerFigures(const DesignerFigures& figures);
