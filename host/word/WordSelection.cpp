#include <algorithm>
#include <cstdlib>

#include "host/files/LineFormat.h"
#include "host/word/WordApplication.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Text.h"
#include "platform/office/Clipboard.h"

namespace host::word {
namespace clipboard = platform::office::clipboard;
using platform::Raise;

namespace {

[[noreturn]] void BadUnit(int unit) { Raise(ow::err::BadParameter, "Bad parameter: unit " + std::to_string(unit)); }

// Start positions of the paragraphs; paragraph k ends with its mark at starts[k + 1] - 1.
std::vector<size_t> ParagraphStarts(const Items& items) {
  std::vector<size_t> starts{0};
  for (size_t i = 0; i + 1 < items.size(); ++i)
    if (items[i].kind == Item::Kind::ParagraphMark) starts.push_back(i + 1);
  starts.push_back(items.size());
  return starts;
}

}  // namespace

WordDocument& WordSelection::Document() const {
  auto document = app_.activeDocument();
  if (!document) Raise(ow::err::NoDocumentOpen, "This command is not available because no document is open.");
  return *document;
}

void WordSelection::WholeStory() {
  auto& d = Document();
  d.Select(0, d.items().size());
}

void WordSelection::Copy() {
  auto& d = Document();
  Items part(d.items().begin() + d.selectionStart(), d.items().begin() + d.selectionEnd());
  clipboard::Clear();
  clipboard::SetData(kStoryFormat, SerializeItems(part));
  clipboard::SetData(clipboard::kTextFormat,
                     platform::text::Replace(TextOfItems(part, 0, part.size()), "\r", "\r\n"));
}

void WordSelection::Collapse(int direction) {
  auto& d = Document();
  size_t at = direction == ow::collapse::End ? d.selectionEnd() : d.selectionStart();
  at = std::min(at, d.items().size() - 1);  // never behind the final paragraph mark
  d.Select(at, at);
}

void WordSelection::Paste() {
  auto& d = Document();
  Items items;
  if (auto story = clipboard::GetData(kStoryFormat)) {
    auto parsed = ParseItems(SplitLines(*story));
    if (!parsed) Raise(ow::err::CommandFailed, "Command failed");
    items = std::move(*parsed);
  } else if (auto text = clipboard::GetData(clipboard::kTextFormat)) {
    items = ItemsOfText(*text);
  } else {
    Raise(ow::err::CommandFailed, "Command failed: the clipboard is empty");
  }
  d.ReplaceSelection(items);
}

int WordSelection::MoveHorizontally(int delta, const ow::MoveOptions& o) {
  auto& d = Document();
  const long len = static_cast<long>(d.items().size());
  int count = o.count;
  if (count < 0) {
    delta = -delta;
    count = -count;
  }
  if (o.unit == ow::unit::Story) count = static_cast<int>(len);
  else if (o.unit != ow::unit::Character) BadUnit(o.unit);

  if (o.extend) {
    long from = static_cast<long>(d.active());
    long to = std::clamp(from + delta * static_cast<long>(count), 0L, len);
    d.Select(d.anchor(), static_cast<size_t>(to));
    return static_cast<int>(std::labs(to - from));
  }
  // Moving a selection that is not collapsed first collapses it, which counts as one unit.
  long from = static_cast<long>(d.active());
  int moved = 0;
  if (d.selectionStart() != d.selectionEnd()) {
    from = static_cast<long>(delta > 0 ? d.selectionEnd() : d.selectionStart());
    moved = 1;
    --count;
  }
  from = std::min(from, len - 1);
  long to = std::clamp(from + delta * static_cast<long>(count), 0L, len - 1);
  d.Select(static_cast<size_t>(to), static_cast<size_t>(to));
  return moved + static_cast<int>(std::labs(to - from));
}

int WordSelection::MoveVertically(int delta, const ow::VerticalMoveOptions& o) {
  auto& d = Document();
  int count = o.count;
  if (count < 0) {
    delta = -delta;
    count = -count;
  }
  if (o.unit != ow::unit::Line && o.unit != 4 /* paragraph */ && o.unit != ow::unit::Story) BadUnit(o.unit);
  const auto starts = ParagraphStarts(d.items());
  const long paragraphs = static_cast<long>(starts.size()) - 1;
  const size_t at = std::min(d.active(), d.items().size() - 1);
  long k = static_cast<long>(std::upper_bound(starts.begin(), starts.end(), at) - starts.begin()) - 1;
  long target = o.unit == ow::unit::Story ? (delta < 0 ? 0 : paragraphs - 1)
                                          : std::clamp(k + delta * static_cast<long>(count), 0L, paragraphs - 1);
  size_t column = at - starts[k];
  size_t lineLength = starts[target + 1] - 1 - starts[target];
  size_t to = starts[target] + std::min(column, lineLength);
  if (o.extend) d.Select(d.anchor(), to);
  else d.Select(to, to);
  return static_cast<int>(std::labs(target - k));
}

int WordSelection::MoveRight(const ow::MoveOptions& options) { return MoveHorizontally(+1, options); }
int WordSelection::MoveLeft(const ow::MoveOptions& options) { return MoveHorizontally(-1, options); }
int WordSelection::MoveUp(const ow::VerticalMoveOptions& options) { return MoveVertically(-1, options); }
int WordSelection::MoveDown(const ow::VerticalMoveOptions& options) { return MoveVertically(+1, options); }

int WordSelection::Delete(const ow::DeleteOptions& o) {
  auto& d = Document();
  if (o.unit != ow::unit::Character) BadUnit(o.unit);
  const size_t start = d.selectionStart(), end = d.selectionEnd();
  // A selection is deleted as a whole; the count applies to an insertion point.
  if (start != end) {
    d.RemoveRange(start, end);
    return 1;
  }
  if (o.count == 0) return 0;
  if (o.count > 0) {
    size_t available = d.items().size() - 1 - start;  // the final mark stays
    size_t n = std::min(static_cast<size_t>(o.count), available);
    d.RemoveRange(start, start + n);
    return static_cast<int>(n);
  }
  size_t n = std::min(static_cast<size_t>(-static_cast<long>(o.count)), start);
  d.RemoveRange(start - n, start);
  return static_cast<int>(n);
}

void WordSelection::TypeText(std::string_view text) { Document().ReplaceSelection(ItemsOfText(text)); }

std::string WordSelection::Text() const {
  auto& d = Document();
  return TextOfItems(d.items(), d.selectionStart(), d.selectionEnd());
}

}  // namespace host::word
