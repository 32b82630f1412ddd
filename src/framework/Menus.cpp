#include "framework/Menus.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "framework/Callbacks.h"

namespace nuvskin {

namespace {

// ---------------------------------------------------------------------------
// Live items: command identifiers and item data lead only to items that
// still exist.

struct ItemRegistry {
  std::unordered_map<UINT, TMenuItem*> byCommand;
  std::unordered_set<const TMenuItem*> live;
  UINT next = 1;
};

// Never destroyed: menu items may be freed when the library ends, after
// static destructors.
ItemRegistry& Registry() {
  static auto* registry = new ItemRegistry;
  return *registry;
}

// WM_COMMAND carries 16 bits; 0 means "nothing chosen" to TrackPopupMenu.
UINT AllocateCommand(TMenuItem* item) {
  ItemRegistry& r = Registry();
  for (UINT tries = 0; tries < 0xFFFF; ++tries) {
    UINT id = r.next;
    r.next = r.next >= 0xFFFF ? 1 : r.next + 1;
    if (r.byCommand.emplace(id, item).second) return id;
  }
  throw EMenuError("Too many menu items");
}

// Takes every entry out of a menu without destroying the sub-menus attached
// to it: each of those has its own owner.
void DetachEntries(HMENU menu) {
  if (!menu) return;
  for (int n = ::GetMenuItemCount(menu); n > 0; --n) ::RemoveMenu(menu, static_cast<UINT>(n - 1), MF_BYPOSITION);
}

void DestroyLevel(win::UniqueMenu& menu) {
  DetachEntries(menu.Get());
  menu.Reset();
}

// The character after a single "&", or 0; "&&" is a literal ampersand.
wchar_t HotkeyOf(const std::wstring& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    return caption[i + 1];
  }
  return 0;
}

wchar_t UpperChar(wchar_t c) {
  return static_cast<wchar_t>(reinterpret_cast<ULONG_PTR>(::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)))));
}

std::wstring StripHotkeys(const std::wstring& caption) {
  std::wstring out;
  out.reserve(caption.size());
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&') {
      if (i + 1 < caption.size() && caption[i + 1] == L'&') {
        out += L'&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

// --- Key names ---------------------------------------------------------------

struct KeyName {
  WORD key;
  const wchar_t* name;
};

constexpr KeyName kKeyNames[] = {
    {VK_BACK, L"BkSp"},      {VK_TAB, L"Tab"},        {VK_RETURN, L"Enter"},    {VK_ESCAPE, L"Esc"},
    {VK_SPACE, L"Space"},    {VK_PRIOR, L"PgUp"},     {VK_NEXT, L"PgDn"},       {VK_END, L"End"},
    {VK_HOME, L"Home"},      {VK_LEFT, L"Left"},      {VK_UP, L"Up"},           {VK_RIGHT, L"Right"},
    {VK_DOWN, L"Down"},      {VK_INSERT, L"Ins"},     {VK_DELETE, L"Del"},      {VK_MULTIPLY, L"Num *"},
    {VK_ADD, L"Num +"},      {VK_SUBTRACT, L"Num -"}, {VK_DECIMAL, L"Num ."},   {VK_DIVIDE, L"Num /"},
    {VK_OEM_1, L";"},        {VK_OEM_PLUS, L"="},     {VK_OEM_COMMA, L","},     {VK_OEM_MINUS, L"-"},
    {VK_OEM_PERIOD, L"."},   {VK_OEM_2, L"/"},        {VK_OEM_3, L"`"},         {VK_OEM_4, L"["},
    {VK_OEM_5, L"\\"},       {VK_OEM_6, L"]"},        {VK_OEM_7, L"'"},
};

std::wstring KeyToText(WORD key) {
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::wstring(1, static_cast<wchar_t>(key));
  if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return L"Num " + std::wstring(1, static_cast<wchar_t>(L'0' + key - VK_NUMPAD0));
  if (key >= VK_F1 && key <= VK_F24) return L"F" + IntToStrW(key - VK_F1 + 1);
  for (const KeyName& k : kKeyNames)
    if (k.key == key) return k.name;
  return {};
}

struct Modifier {
  TShortCut flag;
  const wchar_t* prefix;
};
constexpr Modifier kModifiers[] = {{scShift, L"Shift+"}, {scCtrl, L"Ctrl+"}, {scAlt, L"Alt+"}};

// --- Drawing helpers -----------------------------------------------------------

// The system's menu font, or the default GUI font when it cannot be read.
HFONT CreateMenuFont() {
  NONCLIENTMETRICSW metrics{};
  // Systems before Vista refuse the size that counts iPaddedBorderWidth.
  metrics.cbSize = sizeof(metrics);
  bool ok = ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  if (!ok) {
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    ok = ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0);
  }
  LOGFONTW font{};
  if (ok)
    font = metrics.lfMenuFont;
  else
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
  return ::CreateFontIndirectW(&font);
}

// The canvas's font, bold for the default item.
class ItemFont {
 public:
  ItemFont(TCanvas* canvas, bool bold) : font_(canvas->Font()->Handle()) {
    LOGFONTW description{};
    if (bold && ::GetObjectW(font_, sizeof(description), &description)) {
      description.lfWeight = FW_BOLD;
      bold_.Reset(::CreateFontIndirectW(&description));
    }
  }
  HFONT Get() const { return bold_ ? bold_.Get() : font_; }

 private:
  HFONT font_;
  win::UniqueFont bold_;
};

// Text measured and drawn with DrawTextW ("&" marks the hot key).
SIZE MeasureText(TCanvas* canvas, HFONT font, const std::wstring& text) {
  HDC dc = canvas->Handle();
  win::SelectScope select(dc, font);
  RECT r{0, 0, 0, 0};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void PaintText(TCanvas* canvas, HFONT font, const std::wstring& text, RECT r, UINT format, TColor color) {
  HDC dc = canvas->Handle();
  win::SavedDCState saved(dc);
  win::SelectScope select(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, ColorToRGB(color));
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_VCENTER);
}

void FillColor(TCanvas* canvas, const RECT& r, TColor color) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

// A check mark (or a bullet for radio items) centred in `box`.
void DrawCheck(TCanvas* canvas, const RECT& box, bool radio, TColor color) {
  int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
  if (radio) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(color);
    canvas->Pen()->SetColor(color);
    canvas->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
    return;
  }
  canvas->Pen()->SetColor(color);
  canvas->Pen()->SetWidth(1);
  for (int dy = 0; dy < 3; ++dy) {
    POINT points[3] = {{cx - 4, cy - 1 + dy}, {cx - 2, cy + 1 + dy}, {cx + 3, cy - 4 + dy}};
    canvas->Polyline(points, 3);
  }
}

constexpr int kGutterPadding = 4;  // around the check mark or image
constexpr int kTextGap = 6;        // gutter to caption; each side of a menu bar caption
constexpr int kShortcutGap = 24;   // caption to shortcut
constexpr int kRightMargin = 12;

}  // namespace

// ---------------------------------------------------------------------------
// Shortcuts

TShortCut ShortCut(WORD key, TShiftState shift) {
  if (key == 0 || key > 0xFF) return scNone;
  TShortCut result = key;
  if (shift.Contains(ssShift)) result |= scShift;
  if (shift.Contains(ssCtrl)) result |= scCtrl;
  if (shift.Contains(ssAlt)) result |= scAlt;
  return result;
}

std::wstring ShortCutToText(TShortCut shortCut) {
  std::wstring name = KeyToText(static_cast<WORD>(shortCut & 0xFF));
  if (name.empty()) return {};
  std::wstring text;
  for (const Modifier& m : kModifiers)
    if (shortCut & m.flag) text += m.prefix;
  return text + name;
}

TShortCut TextToShortCut(const std::wstring& text) {
  TShortCut shift = 0;
  std::wstring_view rest = text;
  for (bool found = true; found;) {
    found = false;
    for (const Modifier& m : kModifiers) {
      std::wstring_view prefix = m.prefix;
      // "Ctrl++" style texts do not exist: a lone "+" is a key name only
      // when nothing follows the prefix.
      if (rest.size() > prefix.size() && SameText(rest.substr(0, prefix.size()), prefix)) {
        shift |= m.flag;
        rest.remove_prefix(prefix.size());
        found = true;
      }
    }
  }
  if (rest.empty()) return scNone;
  for (WORD key = 1; key <= 0xFF; ++key) {
    std::wstring name = KeyToText(key);
    if (!name.empty() && SameText(name, rest)) return static_cast<TShortCut>(key | shift);
  }
  return scNone;
}

TShiftState KeyboardShiftState() {
  TShiftState state;
  auto down = [](int vk) { return ::GetKeyState(vk) < 0; };
  if (down(VK_SHIFT)) state.Include(ssShift);
  if (down(VK_CONTROL)) state.Include(ssCtrl);
  if (down(VK_MENU)) state.Include(ssAlt);
  if (down(VK_LBUTTON)) state.Include(ssLeft);
  if (down(VK_RBUTTON)) state.Include(ssRight);
  if (down(VK_MBUTTON)) state.Include(ssMiddle);
  return state;
}

// ---------------------------------------------------------------------------
// TMenuItem

void TMenuItem::Publish(ClassBuilder<TMenuItem>& b) {
  b.WideString("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption);
  b.Boolean("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked);
  b.Boolean("Default", &TMenuItem::Default, &TMenuItem::SetDefault);
  b.Boolean("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled);
  b.Integer("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex).typeName = "Byte";
  b.Integer("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex).typeName = "TImageIndex";
  b.Boolean("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem);
  b.Integer("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut).typeName = "TShortCut";
  b.Boolean("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible);
  b.Enum("AutoHotkeys", &TMenuItem::AutoHotkeys, &TMenuItem::SetAutoHotkeys);
  b.WideString("Hint", &TMenuItem::Hint, &TMenuItem::SetHint);
  b.Object("SubMenuImages", &TMenuItem::SubMenuImages, &TMenuItem::SetSubMenuImages);
  b.Event("OnClick", &TMenuItem::OnClick);
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
  command_ = AllocateCommand(this);
  Registry().live.insert(this);
}

TMenuItem::~TMenuItem() {
  // Sub-items taken out below must not rebuild handles that go away anyway.
  BeginDestruction();
  if (parent_) parent_->Remove(this);
  DetachEntries(handle_.Get());
  while (!items_.empty()) TObject::Free(items_.back());
  DestroyLevel(handle_);
  TObject::Free(bitmap_);
  ItemRegistry& r = Registry();
  r.byCommand.erase(command_);
  r.live.erase(this);
}

TMenuItem* TMenuItem::FromCommand(UINT command) {
  ItemRegistry& r = Registry();
  auto it = r.byCommand.find(command);
  return it == r.byCommand.end() ? nullptr : it->second;
}

TMenuItem* TMenuItem::FromItemData(ULONG_PTR data) {
  auto* item = reinterpret_cast<TMenuItem*>(data);
  return Registry().live.count(item) ? item : nullptr;
}

TMenuItem* TMenuItem::FromHandle(HMENU handle) {
  if (!handle) return nullptr;
  for (const TMenuItem* item : Registry().live)
    if (item->ContainerHandle() == handle) return const_cast<TMenuItem*>(item);
  return nullptr;
}

TMenuItem* TMenuItem::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  return items_[static_cast<std::size_t>(index)];
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->parent_ || item->menu_) throw EMenuError("Menu inserted twice");
  for (const TMenuItem* p = this; p; p = p->parent_)
    if (p == item) throw EMenuError("Menu inserted into itself");
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + IntToStr(index) + ")");
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  SubItemsChanged();
}

void TMenuItem::Delete(int index) {
  TMenuItem* item = Items(index);
  items_.erase(items_.begin() + index);
  item->parent_ = nullptr;
  SubItemsChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
  int index = IndexOf(item);
  if (index < 0) throw EMenuError("Menu item not found");
  Delete(index);
}

void TMenuItem::Clear() {
  while (!items_.empty()) TObject::Free(items_.back());
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::Find(const std::wstring& caption) const {
  std::wstring wanted = StripHotkeys(caption);
  for (TMenuItem* item : items_)
    if (SameText(StripHotkeys(item->caption_), wanted)) return item;
  return nullptr;
}

int TMenuItem::MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int index) {
  if (!parent_) return;
  int count = parent_->Count();
  index = std::clamp(index, 0, count - 1);
  int current = MenuIndex();
  if (index == current) return;
  auto& list = parent_->items_;
  list.erase(list.begin() + current);
  list.insert(list.begin() + index, this);
  parent_->SubItemsChanged();
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* top = this;
  while (top->parent_) top = top->parent_;
  return top->menu_;
}

void TMenuItem::SetCaption(const std::wstring& value) {
  if (caption_ == value) return;
  caption_ = value;
  Changed();
}

void TMenuItem::SetChecked(bool value) {
  if (checked_ == value) return;
  // Radio items of one group exclude each other.
  if (value && radioItem_ && parent_)
    for (TMenuItem* sibling : parent_->items_)
      if (sibling->radioItem_ && sibling->groupIndex_ == groupIndex_) sibling->checked_ = false;
  checked_ = value;
  Changed();
}

void TMenuItem::SetEnabled(bool value) {
  if (enabled_ == value) return;
  enabled_ = value;
  Changed();
}

void TMenuItem::SetVisible(bool value) {
  if (visible_ == value) return;
  visible_ = value;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  if (default_ == value) return;
  // One default item per level, as the platform shows it.
  if (value && parent_)
    for (TMenuItem* sibling : parent_->items_) sibling->default_ = false;
  default_ = value;
  Changed();
}

void TMenuItem::SetGroupIndex(std::uint8_t value) { groupIndex_ = value; }

void TMenuItem::SetRadioItem(bool value) {
  if (radioItem_ == value) return;
  radioItem_ = value;
  Changed();
}

void TMenuItem::SetImageIndex(int value) {
  if (imageIndex_ == value) return;
  imageIndex_ = value;
  NotifyMenu();
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (shortCut_ == value) return;
  shortCut_ = value;
  Changed();
}

void TMenuItem::SetAutoHotkeys(TMenuItemAutoFlag value) {
  if (autoHotkeys_ == value) return;
  autoHotkeys_ = value;
  RebuildTree();
  NotifyMenu();
}

TBitmap* TMenuItem::Bitmap() {
  if (!bitmap_) bitmap_ = Create<TBitmap>();
  return bitmap_;
}

void TMenuItem::SetBitmap(TBitmap* value) {
  if (value)
    Bitmap()->Assign(value);
  else if (bitmap_)
    bitmap_->Clear();
  NotifyMenu();
}

void TMenuItem::SetSubMenuImages(TCustomImageList* value) {
  if (subMenuImages_ == value) return;
  if (subMenuImages_) subMenuImages_->RemoveFreeNotification(this);
  subMenuImages_ = value;
  if (value) value->FreeNotification(this);
  NotifyMenu();
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == subMenuImages_) subMenuImages_ = nullptr;
}

void TMenuItem::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (TMenuItem* item : std::vector<TMenuItem*>(items_))
    if (item->Owner() == root) proc(item);
}

TComponent* TMenuItem::GetParentComponent() const {
  if (parent_ && parent_->menu_) return parent_->menu_;  // a top-level item
  return parent_;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMenu*>(parent))
    menu->Items()->Add(this);
  else if (auto* item = dynamic_cast<TMenuItem*>(parent))
    item->Add(this);
}

HMENU TMenuItem::Handle() {
  if (menu_) return menu_->Handle();
  return items_.empty() ? nullptr : EnsurePopup();
}

void TMenuItem::Click() {
  if (enabled_ && OnClick) OnClick(this);
}

// --- Keeping the platform handles in step --------------------------------------
//
// Every allocated handle holds exactly the visible sub-items of its item. A
// sub-menu is attached to its parent's handle only; whoever refills or
// destroys a handle detaches its entries first, so DestroyMenu never reaches
// a sub-menu that another item owns.

HMENU TMenuItem::ContainerHandle() const { return menu_ ? menu_->handle_.Get() : handle_.Get(); }

bool TMenuItem::Automatic() const {
  for (const TMenuItem* item = this; item; item = item->parent_) {
    if (item->autoHotkeys_ != maParent) return item->autoHotkeys_ == maAutomatic;
    if (item->menu_) return item->menu_->autoHotkeys_ != maManual;
  }
  return true;
}

std::vector<std::wstring> TMenuItem::SubItemCaptions() const {
  std::vector<std::wstring> captions;
  captions.reserve(items_.size());
  for (const TMenuItem* item : items_) captions.push_back(item->caption_);
  if (!Automatic()) return captions;
  auto takes = [&](std::size_t i) {
    const TMenuItem* item = items_[i];
    return item->visible_ && !item->IsLine() && !item->caption_.empty();
  };
  std::unordered_set<wchar_t> used;
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (takes(i))
      if (wchar_t key = HotkeyOf(captions[i])) used.insert(UpperChar(key));
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (!takes(i) || HotkeyOf(captions[i])) continue;
    std::wstring& caption = captions[i];
    for (std::size_t at = 0; at < caption.size(); ++at) {
      wchar_t c = caption[at];
      if (c == L'&' || !::IsCharAlphaNumericW(c) || used.count(UpperChar(c))) continue;
      used.insert(UpperChar(c));
      caption.insert(at, 1, L'&');
      break;
    }
  }
  return captions;
}

std::wstring TMenuItem::DisplayCaption() const {
  if (!parent_) return caption_;
  return parent_->SubItemCaptions()[static_cast<std::size_t>(parent_->IndexOf(this))];
}

HMENU TMenuItem::EnsurePopup() {
  if (!handle_) {
    handle_.Reset(::CreatePopupMenu());
    if (!handle_) throw EOutOfResources("Out of system resources");
    RebuildEntries();
  }
  return handle_.Get();
}

bool TMenuItem::Frozen() const { return IsDestroying() || (menu_ && menu_->IsDestroying()); }

void TMenuItem::RebuildEntries() {
  HMENU container = ContainerHandle();
  if (!container || Frozen()) return;
  DetachEntries(container);
  TMenu* menu = GetParentMenu();
  bool ownerDraw = menu && menu->IsOwnerDraw();
  bool rightToLeft = menu && menu->IsRightToLeft();
  std::vector<std::wstring> captions = SubItemCaptions();
  UINT position = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    TMenuItem* item = items_[i];
    if (!item->visible_) continue;
    HMENU sub = nullptr;
    if (item->items_.empty())
      DestroyLevel(item->handle_);
    else
      sub = item->EnsurePopup();
    std::wstring text = captions[i];
    if (item->shortCut_ != scNone) {
      std::wstring keys = ShortCutToText(item->shortCut_);
      if (!keys.empty()) text += L"\t" + keys;
    }
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_SUBMENU;
    if (item->IsLine()) {
      info.fType = MFT_SEPARATOR;
    } else {
      info.fMask |= MIIM_STRING;
      info.dwTypeData = text.data();
      info.cch = static_cast<UINT>(text.size());
      if (item->radioItem_) info.fType |= MFT_RADIOCHECK;
    }
    if (ownerDraw) info.fType |= MFT_OWNERDRAW;
    if (rightToLeft) info.fType |= MFT_RIGHTORDER;
    if (item->checked_) info.fState |= MFS_CHECKED;
    if (!item->enabled_) info.fState |= MFS_GRAYED;
    if (item->default_) info.fState |= MFS_DEFAULT;
    info.wID = item->command_;
    info.hSubMenu = sub;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    ::InsertMenuItemW(container, position++, TRUE, &info);
  }
}

void TMenuItem::RebuildTree() {
  RebuildEntries();
  for (TMenuItem* item : items_) item->RebuildTree();
}

void TMenuItem::Changed() {
  if (Frozen()) return;
  if (parent_) parent_->RebuildEntries();
  NotifyMenu();
}

void TMenuItem::SubItemsChanged() {
  if (Frozen()) return;
  if (menu_ || (handle_ && !items_.empty())) {
    RebuildEntries();
  } else {
    // Becoming or ceasing to be a popup changes this item's own entry.
    if (parent_) parent_->RebuildEntries();
    if (items_.empty()) DestroyLevel(handle_);
  }
  NotifyMenu();
}

void TMenuItem::NotifyMenu() {
  if (Frozen()) return;
  if (TMenu* menu = GetParentMenu()) menu->MenuChanged(true);
}

// --- Owner drawing -----------------------------------------------------------------

TCustomImageList* TMenuItem::ImagesForItem() const {
  for (const TMenuItem* p = parent_; p; p = p->parent_)
    if (p->subMenuImages_) return p->subMenuImages_;
  TMenu* menu = GetParentMenu();
  return menu ? menu->Images() : nullptr;
}

bool TMenuItem::IsTopLevelOfMainMenu() const {
  return parent_ && parent_->menu_ && parent_->menu_->Is<TMainMenu>();
}

void TMenuItem::MeasureItem(TCanvas* canvas, int& width, int& height) {
  MeasureDefault(canvas, width, height);
  if (OnMeasureItem) OnMeasureItem(this, canvas, width, height);
}

void TMenuItem::DrawItem(TCanvas* canvas, const RECT& rect, bool selected) {
  if (OnDrawItem)
    OnDrawItem(this, canvas, rect, selected);
  else
    DrawDefault(canvas, rect, selected);
}

void TMenuItem::MeasureDefault(TCanvas* canvas, int& width, int& height) {
  ItemFont font(canvas, default_);
  std::wstring caption = DisplayCaption();
  SIZE text = MeasureText(canvas, font.Get(), caption.empty() ? L" " : caption);
  if (IsTopLevelOfMainMenu()) {
    width = text.cx + 2 * kTextGap;
    height = std::max<int>(text.cy, ::GetSystemMetrics(SM_CYMENU) - 1);
    return;
  }
  if (IsLine()) {
    width = 0;
    height = std::max(3, ::GetSystemMetrics(SM_CYMENU) / 2);
    return;
  }
  TCustomImageList* images = ImagesForItem();
  int imageWidth = images ? images->Width() : 16, imageHeight = images ? images->Height() : 16;
  width = imageWidth + 2 * kGutterPadding + kTextGap + text.cx + kRightMargin;
  if (shortCut_ != scNone) width += kShortcutGap + MeasureText(canvas, font.Get(), ShortCutToText(shortCut_)).cx;
  height = std::max<int>({text.cy + 6, imageHeight + 2 * kGutterPadding - 2, ::GetSystemMetrics(SM_CYMENU)});
}

void TMenuItem::DrawDefault(TCanvas* canvas, const RECT& rect, bool selected) {
  TMenu* menu = GetParentMenu();
  bool rightToLeft = menu && menu->IsRightToLeft();
  TColor back = selected ? clHighlight : clMenu;
  TColor fore = !enabled_ ? clGrayText : selected ? clHighlightText : clMenuText;
  FillColor(canvas, rect, back);
  ItemFont font(canvas, default_);
  if (IsTopLevelOfMainMenu()) {
    PaintText(canvas, font.Get(), DisplayCaption(), rect, DT_CENTER, fore);
    return;
  }
  if (IsLine()) {
    int y = (rect.top + rect.bottom) / 2 - 1;
    RECT line{rect.left + 2, y, rect.right - 2, y + 1};
    FillColor(canvas, line, clBtnShadow);
    OffsetRect(&line, 0, 1);
    FillColor(canvas, line, clBtnHighlight);
    return;
  }

  // The gutter on the reading side holds the check mark or the image.
  TCustomImageList* images = ImagesForItem();
  int imageWidth = images ? images->Width() : 16, imageHeight = images ? images->Height() : 16;
  int gutterWidth = imageWidth + 2 * kGutterPadding;
  RECT gutter = rect;
  if (rightToLeft)
    gutter.left = rect.right - gutterWidth;
  else
    gutter.right = rect.left + gutterWidth;
  int imageX = gutter.left + kGutterPadding, imageY = (rect.top + rect.bottom - imageHeight) / 2;
  bool hasImage = images && imageIndex_ >= 0 && imageIndex_ < images->Count();
  if (hasImage) {
    if (checked_) {
      RECT frame{imageX - 2, imageY - 2, imageX + imageWidth + 2, imageY + imageHeight + 2};
      canvas->Brush()->SetColor(clBtnShadow);
      canvas->FrameRect(frame);
    }
    images->Draw(canvas, imageX, imageY, imageIndex_, enabled_);
  } else if (HasBitmap()) {
    int top = (rect.top + rect.bottom - 16) / 2;
    canvas->StretchDraw(RECT{imageX, top, imageX + 16, top + 16}, bitmap_);
  } else if (checked_) {
    DrawCheck(canvas, gutter, radioItem_, fore);
  }

  RECT text = rect;
  if (rightToLeft) {
    text.right = gutter.left - kTextGap;
    text.left += kRightMargin;
  } else {
    text.left = gutter.right + kTextGap;
    text.right -= kRightMargin;
  }
  PaintText(canvas, font.Get(), DisplayCaption(), text, rightToLeft ? DT_RIGHT | DT_RTLREADING : DT_LEFT, fore);
  if (shortCut_ != scNone)
    PaintText(canvas, font.Get(), ShortCutToText(shortCut_), text,
             (rightToLeft ? DT_LEFT | DT_RTLREADING : DT_RIGHT) | DT_NOPREFIX, fore);
}

// ---------------------------------------------------------------------------
// TMenu

void TMenu::Publish(ClassBuilder<TMenu>& b) {
  b.Enum("AutoHotkeys", &TMenu::AutoHotkeys, &TMenu::SetAutoHotkeys, "TMenuAutoFlag");
  b.Enum("BiDiMode", &TMenu::BiDiMode, &TMenu::SetBiDiMode);
  b.Object("Images", &TMenu::Images, &TMenu::SetImages);
  b.Boolean("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(Create<TMenuItem>(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  if (window_ && handle_ && ::GetMenu(window_) == handle_.Get()) ::SetMenu(window_, nullptr);
  DetachEntries(handle_.Get());
  items_->menu_ = nullptr;
  TObject::Free(items_);
  DestroyLevel(handle_);
}

HMENU TMenu::Handle() {
  if (!handle_) {
    handle_.Reset(CreateMenuHandle());
    if (!handle_) throw EOutOfResources("Out of system resources");
    items_->RebuildEntries();
  }
  return handle_.Get();
}

HMENU TMenu::CreateMenuHandle() { return ::CreatePopupMenu(); }

void TMenu::SetImages(TCustomImageList* value) {
  if (images_ == value) return;
  if (images_) images_->RemoveFreeNotification(this);
  const bool wasOwnerDraw = IsOwnerDraw();
  images_ = value;
  if (value) value->FreeNotification(this);
  if (IsOwnerDraw() != wasOwnerDraw) items_->RebuildTree();
  MenuChanged(IsOwnerDraw() != wasOwnerDraw);
}

void TMenu::SetOwnerDraw(bool value) {
  if (ownerDraw_ == value) return;
  ownerDraw_ = value;
  items_->RebuildTree();
  MenuChanged(true);
}

void TMenu::SetAutoHotkeys(TMenuAutoFlag value) {
  if (value == maParent) value = maAutomatic;
  if (autoHotkeys_ == value) return;
  autoHotkeys_ = value;
  items_->RebuildTree();
  MenuChanged(true);
}

void TMenu::SetBiDiMode(TBiDiMode value) {
  if (biDiMode_ == value) return;
  biDiMode_ = value;
  items_->RebuildTree();
  MenuChanged(true);
}

void TMenu::SetWindowHandle(HWND wnd) {
  if (wnd == window_) return;
  bool mainMenu = Is<TMainMenu>();
  if (mainMenu && window_ && handle_ && ::GetMenu(window_) == handle_.Get()) ::SetMenu(window_, nullptr);
  window_ = wnd;
  if (mainMenu && window_ && ::GetMenu(window_) != Handle()) ::SetMenu(window_, Handle());
}

void TMenu::MenuChanged(bool /*rebuild*/) {}

void TMenu::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  items_->GetChildren(proc, root);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == images_) {
    images_ = nullptr;
    if (!ownerDraw_ && !IsDestroying()) {
      items_->RebuildTree();
      MenuChanged(true);
    }
  }
}

namespace {

TMenuItem* FindShortCut(TMenuItem* parent, TShortCut shortCut) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    // A hidden or disabled item hides its sub-items too.
    if (!item->Visible() || !item->Enabled()) continue;
    if (item->ShortCut() == shortCut) return item;
    if (TMenuItem* found = FindShortCut(item, shortCut)) return found;
  }
  return nullptr;
}

}  // namespace

bool TMenu::IsShortCut(UINT msg, WPARAM key, LPARAM keyData) {
  if (msg != WM_KEYDOWN && msg != WM_SYSKEYDOWN) return false;
  TShiftState shift = KeyboardShiftState() * TShiftState{ssShift, ssCtrl, ssAlt};
  if (keyData & (LPARAM{1} << 29)) shift.Include(ssAlt);
  if (key > 0xFF) return false;
  TShortCut shortCut = nuvskin::ShortCut(static_cast<WORD>(key), shift);
  if (shortCut == scNone) return false;
  TMenuItem* item = FindShortCut(items_, shortCut);
  if (!item) return false;
  item->Click();
  return true;
}

TMenuItem* TMenu::FindItemByCommand(UINT command) const {
  TMenuItem* item = TMenuItem::FromCommand(command);
  return item && item != items_ && item->GetParentMenu() == this ? item : nullptr;
}

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindItemByCommand(command);
  if (!item) return false;
  item->Click();
  return true;
}

TMenuItem* TMenu::FindItemByHandle(HMENU submenu) const {
  TMenuItem* item = TMenuItem::FromHandle(submenu);
  return item && item->GetParentMenu() == this ? item : nullptr;
}

bool TMenu::DispatchPopup(HMENU submenu) {
  TMenuItem* item = FindItemByHandle(submenu);
  if (!item) return false;
  // The root's popup is the menu itself: a popup menu ran OnPopup already.
  if (item != items_) item->Click();
  return true;
}

// ---------------------------------------------------------------------------
// TMainMenu

HMENU TMainMenu::CreateMenuHandle() { return ::CreateMenu(); }

void TMainMenu::MenuChanged(bool rebuild) {
  TMenu::MenuChanged(rebuild);
  HWND wnd = WindowHandle();
  if (wnd && !IsDestroying() && HandleAllocated() && ::GetMenu(wnd) == Handle()) ::DrawMenuBar(wnd);
}

// ---------------------------------------------------------------------------
// TPopupMenu

void TPopupMenu::Publish(ClassBuilder<TPopupMenu>& b) {
  b.Boolean("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup);
  b.Event("OnPopup", &TPopupMenu::OnPopup);
}

void TPopupMenu::SetPopupComponent(TComponent* value) {
  popupComponent_ = value;
  if (value) value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation == opRemove && component && component == popupComponent_) popupComponent_ = nullptr;
}

namespace {

constexpr wchar_t kPopupWindowClass[] = L"NuvskinPopupMenuOwner";

LRESULT CALLBACK PopupWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  // A failing handler's message counts as handled.
  return GuardWindowMessage(msg, 0, [&] {
    LRESULT result = 0;
    if (HandleMenuMessage(nullptr, msg, wp, lp, result)) return result;
    return ::DefWindowProcW(wnd, msg, wp, lp);
  });
}

// The hidden owner of a tracked popup: it receives the popup's messages.
win::UniqueWindow CreatePopupWindow() {
  static const ATOM atom = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = PopupWindowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = kPopupWindowClass;
    return ::RegisterClassExW(&wc);
  }();
  if (!atom) return {};
  return win::UniqueWindow(::CreateWindowExW(WS_EX_TOOLWINDOW, kPopupWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                                             nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

}  // namespace

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  HMENU menu = Handle();
  win::UniqueWindow owner = CreatePopupWindow();
  if (!owner) throw EOutOfResources("Out of system resources");
  UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_TOPALIGN;
  flags |= IsRightToLeft() ? TPM_RIGHTALIGN | TPM_LAYOUTRTL : TPM_LEFTALIGN;
  UINT command = static_cast<UINT>(::TrackPopupMenu(menu, flags, x, y, 0, owner.Get(), nullptr));
  owner.Reset();
  // Clicked once the menu has closed; the item may be gone by now.
  if (command != 0)
    if (TMenuItem* item = TMenuItem::FromCommand(command)) item->Click();
}

// ---------------------------------------------------------------------------
// Messages

namespace {

// A canvas over `dc` with the menu font, for the measure and draw events.
class MenuCanvas {
 public:
  explicit MenuCanvas(HDC dc) : saved_(dc) {
    canvas_.SetHandle(dc);
    canvas_.Font()->SetHandle(CreateMenuFont());
    canvas_.Font()->SetColor(clMenuText);
  }
  ~MenuCanvas() { canvas_.SetHandle(nullptr); }
  TCanvas* operator->() { return &canvas_; }
  TCanvas* Get() { return &canvas_; }

 private:
  win::SavedDCState saved_;
  TCanvas canvas_;
};

bool MeasureMenuItem(MEASUREITEMSTRUCT* measure) {
  TMenuItem* item = TMenuItem::FromItemData(measure->itemData);
  if (!item) return false;
  win::UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
  if (!dc) return false;
  MenuCanvas canvas(dc.Get());
  int width = 0, height = 0;
  item->MeasureItem(canvas.Get(), width, height);
  measure->itemWidth = static_cast<UINT>(std::max(0, width));
  measure->itemHeight = static_cast<UINT>(std::max(0, height));
  return true;
}

bool DrawMenuItem(DRAWITEMSTRUCT* draw) {
  TMenuItem* item = TMenuItem::FromItemData(draw->itemData);
  if (!item) return false;
  MenuCanvas canvas(draw->hDC);
  item->DrawItem(canvas.Get(), draw->rcItem, (draw->itemState & ODS_SELECTED) != 0);
  return true;
}

// Owner-drawn items have no text the platform could match a typed key with.
bool MenuChar(wchar_t key, HMENU handle, LRESULT& result) {
  TMenuItem* parent = TMenuItem::FromHandle(handle);
  if (!parent) return false;
  TMenu* menu = parent->GetParentMenu();
  if (!menu || !menu->IsOwnerDraw()) return false;
  UINT position = 0;
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    if (!item->Visible()) continue;
    wchar_t hotkey = HotkeyOf(item->DisplayCaption());
    if (hotkey && item->Enabled() && UpperChar(hotkey) == UpperChar(key)) {
      result = MAKELRESULT(position, MNC_EXECUTE);
      return true;
    }
    ++position;
  }
  return false;
}

}  // namespace

bool HandleMenuMessage(TMenu* mainMenu, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      if (HIWORD(wp) != 0 || lp != 0) return false;
      UINT command = LOWORD(wp);
      TMenuItem* item = mainMenu ? mainMenu->FindItemByCommand(command) : nullptr;
      if (!item) item = TMenuItem::FromCommand(command);
      if (!item || item->Parent() == nullptr) return false;
      result = 0;
      item->Click();
      return true;
    }
    case WM_INITMENUPOPUP: {
      if (HIWORD(lp)) return false;  // the window menu
      auto submenu = reinterpret_cast<HMENU>(wp);
      TMenuItem* item = TMenuItem::FromHandle(submenu);
      if (!item) return false;
      if (TMenu* menu = item->GetParentMenu())
        menu->DispatchPopup(submenu);
      else
        item->Click();
      result = 0;
      return true;
    }
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (!measure || measure->CtlType != ODT_MENU) return false;
      // Painting never raises: a failed measurement leaves the platform's.
      try {
        if (!MeasureMenuItem(measure)) return false;
      } catch (...) {
        return false;
      }
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (!draw || draw->CtlType != ODT_MENU) return false;
      try {
        if (!DrawMenuItem(draw)) return false;
      } catch (...) {
        return false;
      }
      result = TRUE;
      return true;
    }
    case WM_MENUCHAR:
      return MenuChar(static_cast<wchar_t>(LOWORD(wp)), reinterpret_cast<HMENU>(lp), result);
    default:
      return false;
  }
}

void CancelMenus() { ::EndMenu(); }

bool IsAccel(wchar_t key, const std::wstring& caption) {
  const wchar_t hotkey = HotkeyOf(caption);
  return hotkey != 0 && UpperChar(hotkey) == UpperChar(key);
}

}  // namespace nuvskin
