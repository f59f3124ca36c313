#include "host/console/Screen.h"

#include <sstream>

#include "platform/forms/Form.h"
#include "platform/forms/Render.h"

namespace host {
namespace {

std::string Flags(const Control& c) {
  std::string flags;
  if (!c.Enabled()) flags += " (disabled)";
  if (!c.TooltipText().empty()) flags += " - " + c.TooltipText();
  return flags;
}

void RenderMenu(std::ostream& out, const Control& popup) {
  out << "Menu \"" << popup.Caption() << "\":\n";
  for (const auto& item : popup.items()->items()) {
    if (!item->Visible()) continue;
    if (item->BeginGroup()) out << "  ----\n";
    out << "  " << item->Caption() << Flags(*item) << "\n";
  }
}

void RenderBar(std::ostream& out, const Bar& bar) {
  const bool customOnly = bar.BuiltIn();
  std::ostringstream line;
  std::vector<const Control*> popups;
  for (const auto& c : bar.controls().items()) {
    if (!ShownOnScreen(bar, *c)) continue;
    line << (c->BeginGroup() ? " | " : " ");
    if (c->items()) {
      line << "[" << c->Caption() << " v]";
      popups.push_back(c.get());
    } else {
      line << "[" << c->Caption() << "]" << (c->Enabled() ? "" : "(disabled)");
    }
  }
  if (customOnly && line.str().empty()) return;
  out << (customOnly ? "Menu \"" : "Toolbar \"") << bar.Name() << "\":" << line.str() << "\n";
  for (const Control* p : popups) RenderMenu(out, *p);
}

// The start of the active document's text or of the active sheet's cells.
std::string Preview(OfficeSession& session) {
  constexpr size_t kMost = 160;
  std::string preview;
  if (auto word = session.word()) {
    auto d = word->activeDocument();
    if (!d) return {};
    for (const auto& item : d->items()) {
      if (item.kind == word::Item::Kind::Character) preview += item.character;
      else if (item.kind == word::Item::Kind::ParagraphMark) preview += "\xc2\xb6";
      else preview += item.picture->linked() ? "[picture " + item.picture->link + "]" : "[picture " + item.picture->type + "]";
      if (preview.size() > kMost) return "Text: " + preview + "...\n";
    }
    return "Text: " + preview + "\n";
  }
  auto book = session.excel()->activeWorkbook();
  if (!book) return {};
  auto sheet = book->activeSheet();
  for (const auto& [position, value] : sheet->data().cells) {
    preview += " " + excel::CellRef(position) + "=" + value;
    if (preview.size() > kMost) return "Sheet " + sheet->data().name + ":" + preview + "...\n";
  }
  return "Sheet " + sheet->data().name + ":" + preview + "\n";
}

// One file a line, the active one marked: a name may hold blanks, and full paths are long.
template <class List, class Active>
std::string FileList(const char* label, const List& files, const Active& active) {
  std::ostringstream out;
  out << label << ":";
  if (files.empty()) out << " (none)";
  for (const auto& f : files) {
    out << "\n" << (f == active ? " * " : "   ") << f->FullName();
    if (!f->Saved()) out << " (modified)";
    if (f->protectedByPassword()) out << " (password)";
  }
  return out.str();
}

std::string Documents(OfficeSession& session) {
  if (auto word = session.word()) return FileList("Documents", word->documents(), word->activeDocument());
  return FileList("Workbooks", session.excel()->workbookList(), session.excel()->activeWorkbook());
}

}  // namespace

ScreenPart FormPart(const platform::forms::Form& form) {
  ScreenPart part{"form " + form.Name(), "", "[" + form.Name() + "] \"" + form.Caption() + "\" is no longer shown\n", {}};
  part.lines = platform::forms::RenderLines(form);
  for (const auto& line : part.lines) part.text += line.text;
  return part;
}

std::vector<ScreenPart> RenderParts(OfficeSession& session) {
  std::vector<ScreenPart> parts;
  parts.push_back({"title", "==== " + session.application()->Name() + " ====\n", "", {}});
  for (const auto& bar : session.bars().bars()) {
    std::ostringstream out;
    // Of a built-in bar, only what an add-in put there shows (an item in the File menu).
    if (bar->BuiltIn() || bar->Visible()) RenderBar(out, *bar);
    if (!out.str().empty())
      parts.push_back({"bar " + bar->Name(), out.str(), "(" + bar->Name() + " is no longer shown)\n", {}});
  }
  parts.push_back({"status", "Status bar: " + session.application()->StatusBar() + "\n", "", {}});
  parts.push_back({"files", Documents(session) + "\n", "", {}});
  if (std::string preview = Preview(session); !preview.empty()) parts.push_back({"preview", preview, "", {}});
  // The dialogs on the screen, modeless ones (the progress window) and the modal one on top.
  for (const auto* form : platform::forms::LoadedForms()) {
    if (!form->IsVisible()) continue;
    parts.push_back(FormPart(*form));
  }
  return parts;
}

std::string ScreenChanges(const std::vector<ScreenPart>& before, const std::vector<ScreenPart>& after) {
  auto find = [](const std::vector<ScreenPart>& parts, const std::string& key) -> const ScreenPart* {
    for (const auto& p : parts)
      if (p.key == key) return &p;
    return nullptr;
  };
  std::string out;
  for (const auto& p : before)
    if (!find(after, p.key)) out += p.gone;
  for (const auto& p : after) {
    const ScreenPart* was = find(before, p.key);
    if (was && was->text != p.text && !p.lines.empty()) out += platform::forms::RenderChanges(was->lines, p.lines);
    else if (!was || was->text != p.text) out += p.text;
  }
  return out;
}

}  // namespace host
