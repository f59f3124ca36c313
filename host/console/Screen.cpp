#include "host/console/Screen.h"

#include <sstream>

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

void RenderBar(std::ostream& out, const Bar& bar, bool customOnly) {
  std::ostringstream line;
  std::vector<const Control*> popups;
  for (const auto& c : bar.controls().items()) {
    if (!c->Visible() || (customOnly && c->BuiltIn())) continue;
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

std::string Documents(OfficeSession& session) {
  std::ostringstream out;
  if (auto word = session.word()) {
    auto active = word->activeDocument();
    out << "Documents:";
    if (word->documents().empty()) out << " (none)";
    for (const auto& d : word->documents()) {
      out << (d == active ? " *" : " ") << d->FullName();
      if (!d->Saved()) out << " (modified)";
      if (d->protectedByPassword()) out << " (password)";
    }
  } else {
    auto excel = session.excel();
    auto active = excel->activeWorkbook();
    out << "Workbooks:";
    if (excel->workbookList().empty()) out << " (none)";
    for (const auto& b : excel->workbookList()) {
      out << (b == active ? " *" : " ") << b->FullName();
      if (!b->Saved()) out << " (modified)";
      if (b->protectedByPassword()) out << " (password)";
    }
  }
  return out.str();
}

}  // namespace

std::string RenderScreen(OfficeSession& session) {
  std::ostringstream out;
  out << "==== " << session.application()->Name() << " ====\n";
  for (const auto& bar : session.bars().bars()) {
    if (!bar->BuiltIn() && bar->Visible()) RenderBar(out, *bar, false);
    // An add-in's item in a built-in menu (the File menu) shows too.
    else if (bar->BuiltIn()) RenderBar(out, *bar, true);
  }
  out << "Status bar: " << session.application()->StatusBar() << "\n";
  out << Documents(session) << "\n";
  return out.str();
}

}  // namespace host
