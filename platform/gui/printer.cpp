#include "printer.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>

#include "application.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"
#include "replacementfile.h"
#include "systemerror.h"
#include "textconv.h"

namespace gui {

struct TPrinter::Impl {
  std::unique_ptr<QPrinter> Device;
  std::unique_ptr<QPainter> Painter;
  // The PDF being written; it replaces the file named by the user only once
  // it is whole, so a print that fails or is cut short leaves the earlier
  // file as it was.
  std::unique_ptr<TReplacementFile> Output;
  int PdfResolution = 600;

  QPrinter& Printer() {
    if (!Device) Device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *Device;
  }

  // Drops the PDF being written (removing it unless it replaced the output
  // file); the print dialog shows the output file again, not the PDF's
  // temporary name.
  void EndOutput(const std::string& outputFileName) {
    if (!Output) return;
    Output.reset();
    Printer().setOutputFileName(QString::fromStdString(outputFileName));
  }
};

TPrinter::TPrinter() : FImpl(std::make_unique<Impl>()) {}

TPrinter::~TPrinter() {
  if (Printing()) Abort();
}

void TPrinter::SetOrientation(TPrinterOrientation orientation) {
  if (Printing()) throw EPrinter("Cannot change the orientation while printing");
  FOrientation = orientation;
}

void TPrinter::SetOutputFileName(const std::string& path) {
  if (Printing()) throw EPrinter("Cannot change the output while printing");
  FOutputFileName = path;
}

void TPrinter::SetPdfResolution(int dpi) { FImpl->PdfResolution = dpi > 0 ? dpi : 600; }

bool TPrinter::Printing() const { return FImpl->Painter != nullptr; }

void TPrinter::BeginDoc() {
  if (Printing()) throw EPrinter("Printing in progress");
  QPrinter& p = FImpl->Printer();
  if (FOutputFileName.empty()) {
    p.setOutputFormat(QPrinter::NativeFormat);
    p.setOutputFileName(QString());
    if (!p.isValid()) throw EPrinter("There is no default printer currently selected");
  } else {
    p.setOutputFormat(QPrinter::PdfFormat);
    p.setOutputFileName(QString::fromStdString(StartOutputFile()));
    p.setResolution(FImpl->PdfResolution);
  }
  p.setDocName(detail::ToQString(FTitle));
  p.setPageOrientation(FOrientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  auto painter = std::make_unique<QPainter>();
  if (!painter->begin(&p)) {
    FImpl->EndOutput(FOutputFileName);
    throw EPrinter("Printing failed to start");
  }
  FImpl->Painter = std::move(painter);
  FPageNumber = 1;
  detail::QtAccess::BindPainter(FCanvas, FImpl->Painter.get(), p.logicalDpiX(), p.logicalDpiY(), PageWidth(),
                                PageHeight());
}

void TPrinter::NewPage() {
  if (!Printing()) throw EPrinter("Printer is not currently printing");
  if (!FImpl->Device->newPage()) throw EPrinter("Printing failed on a new page");
  ++FPageNumber;
}

void TPrinter::EndDoc() {
  if (!Printing()) throw EPrinter("Printer is not currently printing");
  detail::QtAccess::Unbind(FCanvas);
  bool ok = FImpl->Painter->end();
  FImpl->Painter.reset();
  if (FImpl->Output) {
    ok = ok && FImpl->Output->Finish() && FImpl->Output->Commit();
    const int error = FImpl->Output->ErrorNumber();
    FImpl->EndOutput(FOutputFileName);
    if (!ok && error != 0) throw EPrinter(OutputErrorText(error));
  }
  if (!ok) throw EPrinter("Printing failed to finish");
}

std::string TPrinter::OutputErrorText(int error) const {
  return "Cannot write " + FOutputFileName + ": " + rtl::Utf16ToUtf8(rtl::SystemErrorText(error));
}

std::string TPrinter::StartOutputFile() {
  FImpl->Output = std::make_unique<TReplacementFile>(rtl::Utf8ToUtf16(FOutputFileName));
  if (const int error = FImpl->Output->ErrorNumber(); error != 0) {
    FImpl->Output.reset();
    throw EPrinter(OutputErrorText(error));
  }
  return FImpl->Output->NativeTemporary();
}

void TPrinter::Abort() {
  if (!Printing()) return;
  detail::QtAccess::Unbind(FCanvas);
  FImpl->Device->abort();
  FImpl->Painter->end();
  FImpl->Painter.reset();
  FImpl->EndOutput(FOutputFileName);
}

int TPrinter::PageWidth() const {
  QPrinter& p = FImpl->Printer();
  return p.pageLayout().paintRectPixels(p.resolution()).width();
}

int TPrinter::PageHeight() const {
  QPrinter& p = FImpl->Printer();
  return p.pageLayout().paintRectPixels(p.resolution()).height();
}

TPrinter& Printer() {
  if (!Application) throw EPrinter("No application object");
  return detail::QtAccess::ApplicationPrinter(*Application);
}

namespace detail {

QPrinter& QtAccess::PrinterDevice(TPrinter& printer) { return printer.FImpl->Printer(); }

}  // namespace detail

}  // namespace gui
