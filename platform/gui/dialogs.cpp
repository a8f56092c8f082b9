#include "dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>

#include <algorithm>
#include <optional>
#include <vector>

#include "answerhook.h"
#include "application.h"
#include "form.h"
#include "printer.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"
#include "screen.h"
#include "textlayout.h"

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

// The picture of the MB_ICON... flag (none without one).
std::optional<QStyle::StandardPixmap> PictureOf(unsigned flags) {
  switch (flags & 0xF0) {
    case MB_ICONERROR: return QStyle::SP_MessageBoxCritical;
    case MB_ICONQUESTION: return QStyle::SP_MessageBoxQuestion;
    case MB_ICONWARNING: return QStyle::SP_MessageBoxWarning;
    case MB_ICONINFORMATION: return QStyle::SP_MessageBoxInformation;
    default: return std::nullopt;
  }
}

// The box's text is drawn in the font of a message label.
QFontMetrics MessageFontMetrics() { return QFontMetrics(QApplication::font("QMessageBoxLabel")); }

// Everything of the box's height but its text: margins, spacing, the
// button row and the window's title bar.
int MessageBoxChrome() {
  const QStyle* style = QApplication::style();
  const int margins = 2 * style->pixelMetric(QStyle::PM_LayoutTopMargin);
  const int spacing = style->pixelMetric(QStyle::PM_LayoutVerticalSpacing);
  const int buttons = QPushButton().sizeHint().height();
  const int title = style->pixelMetric(QStyle::PM_TitleBarHeight);
  return margins + spacing + buttons + title;
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

  const TMessageBoxLayout layout = MessageBoxLayout(text);
  QDialog box(WindowOf(owner));
  box.setWindowTitle(detail::ToQString(caption));
  auto* grid = new QGridLayout(&box);
  if (const std::optional<QStyle::StandardPixmap> kind = PictureOf(flags)) {
    const QStyle* style = QApplication::style();
    auto* picture = new QLabel;
    picture->setPixmap(style->standardIcon(*kind).pixmap(style->pixelMetric(QStyle::PM_MessageBoxIconSize)));
    grid->addWidget(picture, 0, 0, Qt::AlignTop);
  }
  auto* label = new QLabel(detail::ToQString(layout.Text));
  label->setTextFormat(Qt::PlainText);
  label->setFont(QApplication::font("QMessageBoxLabel"));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setFixedSize(MessageBoxTextWidth, layout.TextHeight);
  auto* view = new QScrollArea;
  view->setFrameShape(QFrame::NoFrame);
  view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  view->setVerticalScrollBarPolicy(layout.Scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  view->setWidget(label);
  const int scrollBar = layout.Scrolls ? view->verticalScrollBar()->sizeHint().width() : 0;
  view->setFixedSize(MessageBoxTextWidth + scrollBar, layout.ViewHeight);
  grid->addWidget(view, 0, 1);
  auto* row = new QDialogButtonBox;
  const std::vector<TButtonSpec> buttons = ButtonsOf(flags);
  int answer = (flags & 0x0F) == MB_OK ? IDOK : IDCANCEL;
  for (const TButtonSpec& b : buttons) {
    QPushButton* button = row->addButton(static_cast<QDialogButtonBox::StandardButton>(b.Button));
    QObject::connect(button, &QPushButton::clicked, &box, [&box, &answer, b] {
      answer = b.Answer;
      box.accept();
    });
  }
  grid->addWidget(row, 1, 0, 1, 2);
  grid->setSizeConstraint(QLayout::SetFixedSize);
  box.exec();
  return answer;
}

TMessageBoxLayout MessageBoxLayout(const std::u16string& text) {
  const QFontMetrics metrics = MessageFontMetrics();
  TMessageBoxLayout layout;
  layout.Text = WrapText(text, MessageBoxTextWidth,
                         [&metrics](std::u16string_view line) { return metrics.horizontalAdvance(detail::ToQString(line)); });
  // As the label draws it: lines as they stand, no wrapping of its own.
  layout.TextHeight =
      metrics.boundingRect(QRect(0, 0, MessageBoxTextWidth, 0), Qt::AlignLeft | Qt::AlignTop, detail::ToQString(layout.Text))
          .height();
  const TTextView view =
      GrowingTextView(layout.TextHeight, metrics.lineSpacing(), MessageBoxChrome(), ScreenWorkArea().Height());
  layout.ViewHeight = view.ViewHeight;
  layout.Scrolls = view.Scrolls;
  return layout;
}

int MessageBoxLineWidth(std::u16string_view line) {
  return MessageFontMetrics().horizontalAdvance(detail::ToQString(line));
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
