#pragma once
// Printing the views of the program: the print and page setup dialogs, print preview, and the
// pages of a chart, graph or list window on a QPrinter.

class CViewHost;
class QPrinter;
class QWidget;

namespace kintra {

// The printer of the session: what Print Setup and the print dialog chose is kept for the next
// Print and Print Preview.
QPrinter& SessionPrinter();

// Pages the window's view takes on an 8.00 by 10.54 inch page (charts and lists; a graph takes
// one).
int EstimatePrintPages(CViewHost& host);

// Prints the window's view on `printer`: a chart or a list page by page (only the printer's page
// range when `useRange`), a graph on one page. Returns the number of pages printed (0 when
// the printer cannot be opened).
int PrintView(CViewHost& host, QPrinter& printer, bool useRange = true);
// PrintView, and when the printer or its file cannot be opened or the print fails, a message box
// ("Print Error") says why. A print the user aborted says nothing.
int PrintViewOrSay(CViewHost& host, QPrinter& printer, bool useRange = true);

// File menu commands. Print without an installed printer offers to write the pages to a PDF
// file instead.
void FilePrint(CViewHost& host, QWidget* parent);
// Export...: the window's content as PDF (every page as printing gives it), SVG (the whole chart,
// graph or list in one picture) or PNG (the same at a resolution the user picks, 150 dpi at
// first), chosen by the file type or the name's extension.
void FileExport(CViewHost& host, QWidget* parent);
// `previewPages` is the number of pages shown side by side, kept in the settings (0 or 1: one).
void FilePrintPreview(CViewHost& host, QWidget* parent, int& previewPages);
void FilePrintSetup(QWidget* parent);

} // namespace kintra
