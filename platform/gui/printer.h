#pragma once
// TPrinter: printing through the platform's printer, or into a PDF file.
// Between BeginDoc and EndDoc the canvas draws on the current page in
// printer pixels (PixelsPerInchX/Y of the printer; HorzRes and VertRes are
// the printable area, whose top-left corner is the canvas origin). The
// canvas starts each document with the default font (8 pt at the printer's
// resolution). Failures are thrown as EPrinter, which the application shows
// when it leaves an event handler.

#include <memory>
#include <stdexcept>
#include <string>

#include "canvas.h"

namespace gui {

enum TPrinterOrientation : uint8_t { poPortrait, poLandscape };

class EPrinter : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TPrinter {
 public:
  TPrinter();
  ~TPrinter();
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // The document's name (the job name of the printer queue, the PDF title).
  const std::u16string& Title() const { return FTitle; }
  void SetTitle(const std::u16string& title) { FTitle = title; }
  TPrinterOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TPrinterOrientation orientation);
  // A PDF file to print into; empty prints on the printer. The file is
  // replaced (TReplacementFile) when EndDoc finishes the document, and
  // only then; a path that names no regular file (a folder, a pipe) is
  // refused by BeginDoc.
  const std::string& OutputFileName() const { return FOutputFileName; }
  void SetOutputFileName(const std::string& path);
  // Resolution of PDF output in pixels per inch (600 unless set).
  void SetPdfResolution(int dpi);

  void BeginDoc();
  void NewPage();
  void EndDoc();
  // Ends the document without finishing it.
  void Abort();
  bool Printing() const;
  // 1 on the first page.
  int PageNumber() const { return FPageNumber; }
  int PageWidth() const;
  int PageHeight() const;
  TCanvas& Canvas() { return FCanvas; }

 private:
  friend struct detail::QtAccess;
  // Creates the file the PDF is written into before it replaces the
  // output file; throws when it can't.
  std::string StartOutputFile();
  std::string OutputErrorText(int error) const;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
  TCanvas FCanvas;
  std::u16string FTitle;
  TPrinterOrientation FOrientation = poPortrait;
  std::string FOutputFileName;
  int FPageNumber = 0;
};

// The application's printer object.
TPrinter& Printer();

}  // namespace gui
