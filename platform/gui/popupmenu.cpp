#include "popupmenu.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>

#include <algorithm>

#include "answerhook.h"
#include "form.h"
#include "qtaccess_qt.h"
#include "qtconvert_qt.h"

namespace gui {

TPoint PopupMenuOrigin(TPoint at, TSize menu, unsigned align, const TRect& screen) {
  TPoint p = at;
  if (align & TPM_RIGHTALIGN)
    p.x -= menu.cx;
  else if (align & TPM_CENTERALIGN)
    p.x -= menu.cx / 2;
  if (align & TPM_BOTTOMALIGN)
    p.y -= menu.cy;
  else if (align & TPM_VCENTERALIGN)
    p.y -= menu.cy / 2;
  if (!screen.IsEmpty()) {
    p.x = std::clamp(p.x, screen.Left, std::max(screen.Left, screen.Right - menu.cx));
    p.y = std::clamp(p.y, screen.Top, std::max(screen.Top, screen.Bottom - menu.cy));
  }
  return p;
}

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner) {}

void TPopupMenu::Append(int id, const std::u16string& text, unsigned flags) {
  FItems.push_back(TMenuItemInfo{id, text, flags, false});
}

void TPopupMenu::AppendSeparator() { FItems.push_back(TMenuItemInfo{0, {}, MF_SEPARATOR, false}); }

void TPopupMenu::CheckRadioItem(int first, int last, int check) {
  for (TMenuItemInfo& item : FItems) {
    if (item.Separator() || item.Id < first || item.Id > last) continue;
    item.RadioCheck = true;
    if (item.Id == check)
      item.Flags |= MF_CHECKED;
    else
      item.Flags &= ~MF_CHECKED;
  }
}

void TPopupMenu::EnableItem(int id, unsigned flags) {
  for (TMenuItemInfo& item : FItems)
    if (item.Id == id && !item.Separator()) item.Flags = (item.Flags & ~(MF_GRAYED | MF_DISABLED)) | flags;
}

const TMenuItemInfo* TPopupMenu::FindItem(int id) const {
  for (const TMenuItemInfo& item : FItems)
    if (item.Id == id && !item.Separator()) return &item;
  return nullptr;
}

namespace {

constexpr const char* IdProperty = "zelto.menuid";
constexpr const char* BlockedProperty = "zelto.blocked";

// A menu whose "disabled, not grey" items ignore presses and Enter: they
// stay open instead of choosing.
class TTrackMenu : public QMenu {
 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (Blocked(actionAt(event->position().toPoint()))) return;
    QMenu::mouseReleaseEvent(event);
  }
  void keyPressEvent(QKeyEvent* event) override {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) &&
        Blocked(activeAction()))
      return;
    QMenu::keyPressEvent(event);
  }

 private:
  static bool Blocked(QAction* a) { return a && a->property(BlockedProperty).toBool(); }
};

}  // namespace

int TPopupMenu::Track(int x, int y, unsigned align, TForm* owner) {
  TDialogRequest request;
  request.Kind = dkPopupMenu;
  request.Menu = this;
  request.Form = owner;
  if (std::optional<TDialogAnswer> answer = AskAnswerHook(request)) {
    const TMenuItemInfo* item = FindItem(answer->Result);
    return item && item->Choosable() ? item->Id : 0;
  }
  TTrackMenu menu;
  QActionGroup radios(&menu);
  for (const TMenuItemInfo& item : FItems) {
    if (item.Separator()) {
      menu.addSeparator();
      continue;
    }
    QAction* a = menu.addAction(detail::ToQString(item.Text));
    a->setProperty(IdProperty, item.Id);
    a->setEnabled((item.Flags & MF_GRAYED) == 0);
    a->setProperty(BlockedProperty, (item.Flags & MF_DISABLED) != 0);
    if (item.RadioCheck || (item.Flags & MF_CHECKED)) {
      a->setCheckable(true);
      a->setChecked((item.Flags & MF_CHECKED) != 0);
      if (item.RadioCheck) radios.addAction(a);
    }
  }
  radios.setExclusive(false);
  menu.ensurePolished();
  const QSize size = menu.sizeHint();
  TRect screen;
  if (QScreen* s = QGuiApplication::screenAt(QPoint(x, y)) ? QGuiApplication::screenAt(QPoint(x, y))
                                                             : QGuiApplication::primaryScreen())
    screen = detail::FromQRect(s->availableGeometry());
  const TPoint origin = PopupMenuOrigin({x, y}, {size.width(), size.height()}, align, screen);
  QAction* chosen = menu.exec(QPoint(origin.x, origin.y));
  if (!chosen || chosen->property(BlockedProperty).toBool()) return 0;
  return chosen->property(IdProperty).toInt();
}

}  // namespace gui
