#pragma once
// Printed pages checked as a reader of the PDF sees them: report pages
// printed into a PDF file (each page the size of its client area, no
// margins, 1440 dpi, so one device unit is one twip), then read back with
// poppler's pdftotext, pdfinfo and pdffonts.

#include "reports/ReportCanvas.h"

#include <string>
#include <vector>

namespace kova::test {

// A word as pdftotext -bbox places it; the box in twips from the page's
// top-left corner.
struct PdfWord {
    int page = 0;  // 1-based
    std::string text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

// Makes sure a QGuiApplication exists (fonts need one); offscreen when no
// platform is set.
void ensureGuiApp();

// Prints the pages through ReportPrinter into a new PDF file at path. ""
// when done, else what went wrong.
std::string printPdf(const std::string& path, const std::vector<ReportCanvas>& pages);

// pdfinfo's page count; -1 when the file cannot be read.
int pdfPageCount(const std::string& path);
// pdftotext's text of one page (1-based), or of all pages for 0; layout
// keeps the words of a line on one line in their order (-layout).
std::string pdfText(const std::string& path, int page = 0, bool layout = false);
// Every word per pdftotext -bbox, in its order, of one page or of all for 0.
std::vector<PdfWord> pdfWords(const std::string& path, int page = 0);
// The first word with this text per pdftotext -bbox, on one page or on any
// for 0 (page 0 when there is none).
PdfWord pdfWord(const std::string& path, const std::string& text, int page = 0);
// The fonts pdffonts lists ("ABCDEF+LiberationSans-Bold") and whether each
// is embedded.
struct PdfFont {
    std::string name;
    bool embedded = false;
};
std::vector<PdfFont> pdfFonts(const std::string& path);

} // namespace kova::test
