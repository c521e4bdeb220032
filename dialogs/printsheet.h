// "Print…" and "Save as PDF…" of the Calendar page: a small choice of sheet, then Qt's print
// preview or a file dialog. The sheet itself is painted by export/sheet.h.
#pragma once

#include "export/sheet.h"
#include "monthview/gridpainter.h"
#include "state/programstate.h"

#include <QStringView>

class QWidget;

// The sheet of the shown year and month, with the user's overlays, colours and title.
SheetRequest sheetRequestFrom(const ProgramState& state, const GridOverlays& overlays,
                              const Schedule& schedule, const QString& agency);

// Asks for the year or month sheet and "Only my days"; false when the user cancels.
bool ChooseSheet(QWidget* parent, const QString& title, SheetRequest& request);

// Asks for the sheet, then shows it in the print preview, from which the user prints.
void PrintSheetWithPreview(QWidget* parent, const SheetRequest& request);

// Asks for the sheet and a file name, then writes the PDF; a failure goes to the error report.
// Gives the file written, empty when nothing was.
QString SaveSheetAsPdf(QWidget* parent, const SheetRequest& request);
