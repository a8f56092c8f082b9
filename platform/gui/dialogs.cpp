#include "dialogs.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QUrl>

#include <algorithm>
#include <vector>

#include "answerhook.h"
#include "application.h"
#include "form.h"
#include "printer.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"

namespace gui {

namespace {

QWidget* WindowOf(TForm* form) { return form ? detail::QtAccess::FormWindow(*form) : nullptr; }

struct TButtonSpec {
  QMessageBox::StandardButton Button;
  int Answer;
};

std::vector<TButtonSpec> ButtonsOf(unsigned flags) {
  switch (flags & 0x0F) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_ABORTRETRYIGNORE:
      return {{QMessageBox::Abort, IDABORT}, {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}};
    case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    case MB_RETRYCANCEL: return {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
    default: return {{QMessageBox::Ok, IDOK}};
  }
}

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & 0xF0) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// "desc|pattern|desc|pattern" as Qt's ";;"-separated "desc (pattern)" list.
QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    out << parts[i] + " (" + patterns + ")";
  }
  return out.join(";;");
}

}  // namespace

int MessageBox(TForm* owner, const std::u16string& text, const std::u16string& caption, unsigned flags) {
  TDialogRequest request;
  request.Kind = dkMessageBox;
  request.Title = caption;
  request.Text = text;
  request.Flags = flags;
  request.Form = owner;
  if (std::optional<TDialogAnswer> answer = AskAnswerHook(request)) return answer->Result;

  QMessageBox box(IconOf(flags), detail::ToQString(caption), detail::ToQString(text), QMessageBox::NoButton,
                  WindowOf(owner));
  const std::vector<TButtonSpec> buttons = ButtonsOf(flags);
  for (const TButtonSpec& b : buttons) box.addButton(b.Button);
  box.exec();
  const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
  for (const TButtonSpec& b : buttons)
    if (b.Button == clicked) return b.Answer;
  return (flags & 0x0F) == MB_OK ? IDOK : IDCANCEL;
}

std::string WithDefaultExtension(const std::string& name, const std::string& defaultExt) {
  if (name.empty() || defaultExt.empty()) return name;
  const size_t slash = name.find_last_of('/');
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return name;
  return name + "." + defaultExt;
}

std::string WithSaveExtension(const std::string& name, const std::string& defaultExt) {
  if (name.empty() || defaultExt.empty()) return name;
  const std::string ending = "." + defaultExt;
  const size_t slash = name.find_last_of('/');
  const size_t base = slash == std::string::npos ? 0 : slash + 1;
  // "pump." means "pump": the dot typed before the extension is not kept
  // beside the one the extension brings.
  const std::string stem = name.substr(0, std::max(base, name.find_last_not_of('.') + 1));
  // A name that is only the extension stays so, to be refused by the save
  // that checks its target; another extension added would hide it.
  if (stem.size() >= base + ending.size() &&
      QString::fromStdString(stem.substr(stem.size() - ending.size()))
              .compare(QString::fromStdString(ending), Qt::CaseInsensitive) == 0)
    return stem;
  return stem + ending;
}

TOpenDialog::TOpenDialog(TComponent* owner) : TComponent(owner) {}

bool TOpenDialog::Execute(TForm* owner) { return Run(owner, false); }

bool TOpenDialog::Run(TForm* owner, bool save) {
  TDialogRequest request;
  request.Kind = save ? dkSaveDialog : dkOpenDialog;
  request.Title = Title;
  request.Form = owner;
  request.FileName = FileName;
  std::string chosen;
  if (std::optional<TDialogAnswer> answer = AskAnswerHook(request)) {
    if (answer->Result == 0 || answer->FileName.empty()) return false;
    chosen = answer->FileName;
    if (!save && (Options & ofFileMustExist) && !QFileInfo::exists(QString::fromStdString(
                                                     WithDefaultExtension(chosen, DefaultExt))))
      return false;
  } else {
    QFileDialog dialog(WindowOf(owner), detail::ToQString(Title), QString::fromStdString(InitialDir),
                       QtFilter(Filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile
                            : ((Options & ofFileMustExist) ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    if (!DefaultExt.empty()) dialog.setDefaultSuffix(QString::fromStdString(DefaultExt));
    if (save && !(Options & ofOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!FileName.empty()) dialog.selectFile(QString::fromStdString(FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    chosen = dialog.selectedFiles().front().toStdString();
  }
  FileName = save ? WithSaveExtension(chosen, DefaultExt) : WithDefaultExtension(chosen, DefaultExt);
  return true;
}

TSaveDialog::TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

bool TSaveDialog::Execute(TForm* owner) { return Run(owner, true); }

TPrintDialog::TPrintDialog(TComponent* owner) : TComponent(owner) {}

bool TPrintDialog::Execute(TForm* owner) {
  TPrinter& printer = Printer();
  TDialogRequest request;
  request.Kind = dkPrintDialog;
  request.Form = owner;
  request.FileName = printer.OutputFileName();
  if (std::optional<TDialogAnswer> answer = AskAnswerHook(request)) {
    if (answer->Result == 0) return false;
    printer.SetOutputFileName(answer->FileName);
    return true;
  }
  QPrinter& device = detail::QtAccess::PrinterDevice(printer);
  QPrintDialog dialog(&device, WindowOf(owner));
  if (dialog.exec() != QDialog::Accepted) return false;
  printer.SetOutputFileName(device.outputFormat() == QPrinter::PdfFormat ? device.outputFileName().toStdString()
                                                                         : std::string());
  return true;
}

bool ShellOpen(const std::string& path) {
  TDialogRequest request;
  request.Kind = dkShellOpen;
  request.FileName = path;
  if (std::optional<TDialogAnswer> answer = AskAnswerHook(request)) return answer->Result != 0;
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace gui
